// The office layer's common part: log texts, the application session, and
// the servers that make applications (files for real, or a recording).

#include "Office.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "OfficeModel.h"
#include "ShellOpen.h"

namespace fc::office {

using namespace detail;

// ---------------------------------------------------------------------------
// Log texts

QString Quote(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar ch : text) {
        if (ch == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (ch == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (ch == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (ch == QLatin1Char('"') || ch == QLatin1Char('\\'))
            out += QLatin1Char('\\') + QString(ch);
        else
            out += ch;
    }
    return out + QLatin1Char('"');
}

QString BoolText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

QString NumText(double v) { return QString::number(v, 'g', 15); }

QString Access::Line() const
{
    QString line = receiver + QLatin1Char('.') + member;
    if (kind == Put)
        line += QStringLiteral(" := ") + value;
    else if (kind == Get && !value.isEmpty())
        line += QStringLiteral(" -> ") + value;
    return line;
}

void OleObject::Rec(Access::Kind kind, const QString& member, const QString& value) const
{
    s_->Record(kind, path_, member, value);
}

namespace detail {

void Session::Record(Access::Kind kind, const QString& receiver, const QString& member, const QString& value)
{
    if (quit)
        throw EOleError(QStringLiteral("The automation server is no longer available"));
    Access a{kind, receiver, member, value};
    if (log)
        log->push_back(a);
    if (onAccess)
        onAccess(a);
}

QString Session::FreeName(const QString& stem, const QString& ext) const
{
    QDir().mkpath(folder);
    for (int n = 1;; ++n) {
        const QString f = QDir(folder).filePath(stem + QString::number(n) + ext);
        // A link, even one to nothing, takes the name: it is never followed.
        const QFileInfo fi(f);
        if (!fi.exists() && !fi.isSymLink())
            return f;
    }
}

void Session::Show()
{
    if (!writeFiles)
        return;
    IShellOpen& sh = shell ? *shell : fc::Shell();
    auto open = [&](const QString& name) {
        const QString file = QFileInfo(name).absoluteFilePath();
        if (!sh.Open(file))
            throw EShowError(QStringLiteral("Cannot open \"%1\" with the desktop's default program")
                                 .arg(QDir::toNativeSeparators(file)),
                             file);
    };
    if (excel) {
        for (const auto& b : books) {
            if (!b->dirty && !b->shownFile.isEmpty())
                continue;
            QString file;
            if (!b->dirty && !b->fileName.isEmpty()) {
                file = b->fileName;
            } else {
                file = b->shownFile.isEmpty() ? FreeName(QStringLiteral("Book"), QStringLiteral(".xlsx")) : b->shownFile;
                WriteXlsx(*b, file, true);
                b->shownFile = file;
            }
            b->dirty = false;
            open(file);
        }
    } else {
        for (const auto& d : docs) {
            if (!d->dirty && !d->shownFile.isEmpty())
                continue;
            const QString file =
                d->shownFile.isEmpty() ? FreeName(QStringLiteral("Document"), QStringLiteral(".docx")) : d->shownFile;
            WriteDocx(*d, file, true);
            d->shownFile = file;
            d->dirty = false;
            open(file);
        }
    }
}

} // namespace detail

} // namespace fc::office

// ===========================================================================
// Servers

using namespace fc::office;

namespace {

std::shared_ptr<detail::Session> MakeWordSession(const std::shared_ptr<detail::Session>& s, const QString& version)
{
    s->excel = false;
    s->version = version;
    return s;
}

OleRef<WordDocument> NewDocument(const std::shared_ptr<detail::Session>& s)
{
    auto d = std::make_shared<detail::WdDoc>();
    d->name = QStringLiteral("Document%1").arg(++s->docCounter);
    s->docs.push_back(d);
    s->activeDoc = d;
    return std::make_shared<WordDocument>(s, d->name, d);
}

} // namespace

// One folder per user under the shared temporary folder.
FileOffice::FileOffice()
    : folder_(QDir(QDir::tempPath()).filePath(QStringLiteral("fancoil-export-%1").arg(::getuid())))
{
}

namespace {

// The exports' folder, only the user's: made with mode 0700 when it is
// missing, closed to others when it is the user's own and open to them;
// a link, a file, or a folder another account made first is refused, since
// its owner could read every export or steer it elsewhere.
void preparaCartellaPrivata(const QString& folder)
{
    auto refuse = [&](const QString& why) {
        throw EOleError(QStringLiteral("Cannot write to the folder \"%1\": %2").arg(QDir::toNativeSeparators(folder), why));
    };
    const QFileInfo fi(folder);
    QDir().mkpath(fi.absolutePath());
    const QByteArray path = QFile::encodeName(fi.absoluteFilePath());
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        refuse(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        refuse(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISLNK(st.st_mode))
        refuse(QStringLiteral("it is a link, not a folder of this user's"));
    if (!S_ISDIR(st.st_mode))
        refuse(QString::fromLocal8Bit(std::strerror(ENOTDIR)));
    if (st.st_uid != ::geteuid())
        refuse(QStringLiteral("it belongs to another user"));
    if ((st.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0)
        refuse(QString::fromLocal8Bit(std::strerror(errno)));
    if (::access(path.constData(), W_OK | X_OK) != 0)
        refuse(QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

std::shared_ptr<detail::Session> FileOffice::NewSession(bool excel)
{
    // Where nothing can be written the application cannot work: say so at
    // its start, with the reason, rather than fail at the end.
    preparaCartellaPrivata(folder_);
    auto s = std::make_shared<detail::Session>();
    s->excel = excel;
    s->writeFiles = true;
    s->folder = folder_;
    s->shell = shell_;
    return s;
}

OleRef<ExcelApplication> FileOffice::GetActiveExcel()
{
    auto app = running_.lock();
    if (!app || app->s_->quit)
        throw EOleError(QStringLiteral("Operation unavailable"));
    return app;
}

OleRef<ExcelApplication> FileOffice::CreateExcel()
{
    auto app = std::make_shared<ExcelApplication>(NewSession(true), QStringLiteral("Excel"));
    running_ = app;
    return app;
}

OleRef<WordDocument> FileOffice::CreateWordDocument()
{
    return NewDocument(MakeWordSession(NewSession(false), QStringLiteral("16.0")));
}

RecordingOffice::RecordingOffice()
    : log_(std::make_shared<std::vector<Access>>()), alive_(std::make_shared<bool>(true))
{
}

// Objects made here may outlive the office (a grid keeps its document).
RecordingOffice::~RecordingOffice() { *alive_ = false; }

std::shared_ptr<detail::Session> RecordingOffice::NewSession(bool excel)
{
    if (!CreateError.isEmpty())
        throw EOleError(CreateError);
    auto s = std::make_shared<detail::Session>();
    s->excel = excel;
    s->log = log_;
    s->onAccess = [this, alive = alive_](const Access& a) {
        if (*alive && OnAccess)
            OnAccess(a);
    };
    return s;
}

OleRef<ExcelApplication> RecordingOffice::GetActiveExcel()
{
    if (Excel && !Excel.Get()->s_->quit)
        return Excel;
    if (RunningExcelWorkbooks < 0)
        throw EOleError(QStringLiteral("Operation unavailable"));
    auto s = NewSession(true);
    // The user's own workbooks, made before the log starts.
    auto log = s->log;
    s->log.reset();
    Excel = std::make_shared<ExcelApplication>(s, QStringLiteral("Excel"));
    for (int i = 0; i < RunningExcelWorkbooks; ++i)
        Excel->Workbooks()->Add();
    s->visible = true;
    s->log = log;
    return Excel;
}

OleRef<ExcelApplication> RecordingOffice::CreateExcel()
{
    Excel = std::make_shared<ExcelApplication>(NewSession(true), QStringLiteral("Excel"));
    return Excel;
}

OleRef<WordDocument> RecordingOffice::CreateWordDocument()
{
    Document = NewDocument(MakeWordSession(NewSession(false), WordVersion));
    return Document;
}

QStringList RecordingOffice::Lines() const
{
    QStringList out;
    for (const Access& a : *log_)
        out.append(a.Line());
    return out;
}

QStringList RecordingOffice::Actions() const
{
    QStringList out;
    for (const Access& a : *log_)
        if (a.kind != Access::Get)
            out.append(a.Line());
    return out;
}

ScopedRecordingOffice::ScopedRecordingOffice() : previous_(fc::InstalledOffice()) { fc::SetOffice(this); }

ScopedRecordingOffice::~ScopedRecordingOffice() { fc::SetOffice(previous_); }

namespace fc {

namespace {
IOfficeServer* g_office = nullptr;
}

IOfficeServer& Office()
{
    static FileOffice fallback;
    return g_office ? *g_office : fallback;
}

void SetOffice(IOfficeServer* server) { g_office = server; }

IOfficeServer* InstalledOffice() { return g_office; }

} // namespace fc
