#include "ARVFS.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"

TVirtualFileSystem::~TVirtualFileSystem() = default;

void TVirtualFileSystem::CloseReadStream() { readStream_.reset(); }

void TVirtualFileSystem::CloseWriteStream()
{
    std::unique_ptr<QIODevice> s = std::move(writeStream_);
    if (auto* save = dynamic_cast<fc::AtomicFile*>(s.get())) {
        if (!save->commit())
            throw EFileError(QStringLiteral("Cannot write file %1: %2")
                                 .arg(QDir::toNativeSeparators(save->FileName()), save->errorString()));
    }
}

void TVirtualFileSystem::ExecuteSetup()
{
    if (OnExecuteSetup)
        OnExecuteSetup(this);
}

// ---- standard storage ----

namespace {
TStandardFileSystem::SetupDialogRunner& runner()
{
    static TStandardFileSystem::SetupDialogRunner r;
    return r;
}
} // namespace

void TStandardFileSystem::SetSetupDialogRunner(SetupDialogRunner r) { runner() = std::move(r); }

TStandardFileSystem::TStandardFileSystem() { extList_.SetSorted(true); }

TStandardFileSystem::~TStandardFileSystem() = default;

void TStandardFileSystem::SetParams(const QString& text)
{
    extList_.SetCommaText(text);
    if (extList_.Count() == 0) {
        extList_.Add(QStringLiteral("AR"));
        extList_.Add(QStringLiteral("ART"));
    }
    Options |= ofOverwritePrompt;
    DefaultExt.clear();
    QStringList patterns;
    for (int i = 0; i < extList_.Count(); ++i)
        patterns << QStringLiteral("*.") + extList_[i];
    const QString s = patterns.join(u';');
    Filter = QStringLiteral("Reports (%1)|%1|").arg(s);
    DefaultExt = extList_[0];
    Filter += QStringLiteral("All files (*.*)|*.*");
}

QString TStandardFileSystem::GetParams() const { return extList_.CommaText(); }

QIODevice* TStandardFileSystem::CreateReadStream(const QString& name)
{
    FileName = name;
    auto f = std::make_unique<QFile>(name);
    if (QFileInfo(name).isDir() || !f->open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(name)));
    readStream_ = std::move(f);
    return readStream_.get();
}

QIODevice* TStandardFileSystem::CreateWriteStream(const QString& name)
{
    FileName = name;
    // Written beside the target and renamed on close, so that a failed
    // write never leaves half a template behind.
    auto f = std::make_unique<fc::AtomicFile>(name);
    if (!f->open(QIODevice::WriteOnly))
        throw EFileError(QStringLiteral("Cannot create file %1: %2").arg(QDir::toNativeSeparators(name), f->errorString()));
    writeStream_ = std::move(f);
    return writeStream_.get();
}

static TFileDialogRequest dialogRequest(const TStandardFileSystem& fs)
{
    TFileDialogRequest r;
    r.Title = fs.Title;
    r.Filter = fs.Filter;
    r.DefaultExt = fs.DefaultExt;
    r.InitialDir = fs.InitialDir;
    r.FileName = fs.FileName;
    r.OverwritePrompt = (fs.Options & ofOverwritePrompt) != 0;
    return r;
}

bool TStandardFileSystem::OpenDialogExecute()
{
    TFileDialogRequest r = dialogRequest(*this);
    const bool ok = fc::Dialogs().OpenFile(r);
    files_.clear();
    if (ok) {
        files_ << r.FileName;
        // Opening a name that does not exist yet starts a new template; a
        // cancelled dialog leaves the disk alone.
        if (!r.FileName.isEmpty() && !FileExists(r.FileName))
            CreateFile(r.FileName);
        FileName = r.FileName;
    }
    return ok;
}

bool TStandardFileSystem::SaveDialogExecute()
{
    TFileDialogRequest r = dialogRequest(*this);
    const bool ok = fc::Dialogs().SaveFile(r);
    if (ok)
        FileName = r.FileName;
    return ok;
}

void TStandardFileSystem::CreateFile(const QString& name)
{
    QFile f(name);
    if (name.isEmpty() || !f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EFileError(QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(name)));
}

bool TStandardFileSystem::FileExists(const QString& name) const
{
    const QFileInfo fi(name);
    return !name.isEmpty() && fi.exists() && !fi.isDir();
}

static int lastSeparator(const QString& name)
{
    return int(std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\')));
}

QString TStandardFileSystem::ExtractPath(const QString& name) const
{
    return name.left(lastSeparator(name) + 1);
}

QString TStandardFileSystem::ExtractFileNameOnly(const QString& name) const
{
    QString base = name.mid(lastSeparator(name) + 1);
    const int dot = int(base.indexOf(u'.'));
    return dot >= 0 ? base.left(dot) : base;
}

void TStandardFileSystem::ExecuteSetup()
{
    TVirtualFileSystem::ExecuteSetup();
    if (!runner())
        return;
    QStringList exts = extList_.Strings();
    if (runner()(*this, exts))
        for (const QString& e : exts)
            extList_.Add(e); // sorted list: duplicates ignored, deleted ones stay
}
