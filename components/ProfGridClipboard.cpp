// Selection clearing, copy and paste of the grid, and the component stream
// that carries TExtSel on the clipboard.

#include "ProfGridClipboard.h"

#include <QClipboard>
#include <QDataStream>
#include <QIODevice>
#include <QGuiApplication>
#include <QMetaProperty>
#include <QMimeData>

#include "ProfGrid.h"
#include "platform/ClassRegistry.h"
#include "platform/Errors.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QChar kTab = QLatin1Char('\t');
constexpr quint32 kStreamMagic = 0x54504630; // "TPF0"

QClipboard& Clipboard()
{
    QClipboard* c = QGuiApplication::clipboard();
    if (!c)
        throw Exception(QStringLiteral("Cannot open clipboard"));
    return *c;
}

} // namespace

// ---------------------------------------------------------------------------
// Component stream

namespace fc {

QString ComponentClipboardFormat()
{
    return QStringLiteral("application/x-qt-windows-mime;value=\"Tesbra Component\"");
}

QByteArray WriteComponent(const QObject& component)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    const QMetaObject* mo = component.metaObject();
    out << kStreamMagic << QString::fromLatin1(mo->className());
    QList<QMetaProperty> props;
    for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
        props << mo->property(i);
    out << qint32(props.size());
    for (const QMetaProperty& p : props)
        out << QString::fromLatin1(p.name()) << p.read(&component);
    return bytes;
}

std::unique_ptr<QObject> ReadComponent(const QByteArray& stream)
{
    QDataStream in(stream);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    QString className;
    qint32 count = 0;
    in >> magic >> className >> count;
    if (in.status() != QDataStream::Ok || magic != kStreamMagic || count < 0)
        throw Exception(QStringLiteral("Invalid stream format"));
    std::unique_ptr<QObject> obj(FindClass<TComponentClass>(className)());
    for (qint32 i = 0; i < count; ++i) {
        QString name;
        QVariant value;
        in >> name >> value;
        if (in.status() != QDataStream::Ok)
            throw Exception(QStringLiteral("Invalid stream format"));
        const QByteArray key = name.toLatin1();
        const int idx = obj->metaObject()->indexOfProperty(key.constData());
        if (idx < 0)
            throw Exception(QStringLiteral("Error reading %1.%2: Property %2 does not exist").arg(className, name));
        obj->metaObject()->property(idx).write(obj.get(), value);
    }
    return obj;
}

void SetClipboardComponent(QMimeData& data, const QObject& component)
{
    data.setData(ComponentClipboardFormat(), WriteComponent(component));
}

std::unique_ptr<QObject> ClipboardComponent(const QMimeData& data)
{
    if (!data.hasFormat(ComponentClipboardFormat()))
        return nullptr;
    return ReadComponent(data.data(ComponentClipboardFormat()));
}

void RegisterProfGridClasses()
{
    RegisterClass<TComponentClass>(QStringLiteral("TExtSel"), [] { return static_cast<QObject*>(new TExtSel); });
}

} // namespace fc

// ---------------------------------------------------------------------------
// Text conversions

QString QuoteCellText(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return r;
}

QString UnquoteCellText(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('\n'), kCrLf);
    r.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    if (r.startsWith(QLatin1Char('"')) && r.endsWith(QLatin1Char('"')))
        r = r.size() >= 2 ? r.mid(1, r.size() - 2) : QString();
    return r;
}

// ---------------------------------------------------------------------------
// Selection operations

bool TProfGridSelection::ClearCells(bool force)
{
    TProfGrid& g = *grid_;
    bool result = true;
    for (int c = left_; c <= right_; ++c)
        for (int r = top_; r <= bottom_; ++r) {
            if (c < 0 || r < 0 || c >= g.ColCount() || r >= g.RowCount())
                continue;
            TProfGridCell& cell = g.Cell(c, r);
            if (force || (!g.Columns(c).ReadOnly() && !cell.ReadOnly()))
                cell.SetText(QString());
            else
                result = false;
        }
    return result;
}

bool TProfGridSelection::CopyToClipboard()
{
    try {
        TProfGrid& g = *grid_;
        TExtSel sel;
        QString cells;
        QString text;
        const bool several = &g.Cell(left_, top_) != &g.Cell(right_, bottom_);
        for (int r = top_; r <= bottom_; ++r) {
            for (int c = left_; c <= right_; ++c) {
                if (c != left_) {
                    text += kTab;
                    cells += kTab;
                }
                TProfGridCell& x = g.Cell(c, r);
                // A cell merged over rows goes once, in its first selected row.
                if (r != x.TopRow() && r != top_)
                    continue;
                QString t = x.Text();
                if (several && t.contains(QLatin1Char('\n')))
                    t = QLatin1Char('"') + QuoteCellText(t) + QLatin1Char('"');
                t.replace(kCrLf, g.ClipboardLineBreakText());
                text += t;
                cells += x.Text();
            }
            text += kCrLf;
            cells += kTab;
        }
        sel.SetCells(cells);
        sel.SetColCount(right_ - left_ + 1);
        auto* data = new QMimeData;
        data->setText(text);
        fc::SetClipboardComponent(*data, sel);
        Clipboard().setMimeData(data);
        return true;
    } catch (...) {
        return false;
    }
}

// ---------------------------------------------------------------------------
// Paste

namespace {

// Length of the row end at i: CR LF, or the LF alone that the programs of
// this platform write; 0 when none starts there.
int LineEndAt(const QString& s, qsizetype i)
{
    if (i < s.size() && s[i] == QLatin1Char('\n'))
        return 1;
    if (i + 1 < s.size() && s[i] == QLatin1Char('\r') && s[i + 1] == QLatin1Char('\n'))
        return 2;
    return 0;
}

// The first tab and the first row end of the field at the front of s (-1
// when there is none). A field that starts with a double quote may hold
// tabs and line breaks up to its closing quote.
void FindSeparators(const QString& s, qsizetype& tab, qsizetype& lineEnd)
{
    qsizetype from = 0;
    if (s.startsWith(QLatin1Char('"'))) {
        for (qsizetype i = 1; i < s.size(); ++i) {
            if (s[i] != QLatin1Char('"'))
                continue;
            if (i + 1 < s.size() && s[i + 1] == QLatin1Char('"')) {
                ++i;
                continue;
            }
            from = i + 1;
            break;
        }
    }
    tab = s.indexOf(kTab, from);
    lineEnd = -1;
    for (qsizetype i = from; i < s.size(); ++i)
        if (LineEndAt(s, i)) {
            lineEnd = i;
            break;
        }
}

} // namespace

bool TProfGrid::PasteFromClipboard()
{
    bool result = true;
    BeginUpdate();
    try {
        const int c0 = col_;
        const int r0 = row_;
        int c = c0;
        int r = r0;
        bool fieldStart = true;
        auto insertions = [&] {
            if (c == colCount_ && options_.Has(pgoInsertColWhenPasting))
                InsertCol(colCount_);
            if (r == rowCount_ && options_.Has(pgoInsertRowWhenPasting))
                InsertRow(0, r - 1, true);
        };
        auto inside = [&] { return c >= 0 && r >= 0 && c < colCount_ && r < rowCount_; };
        auto isOrigin = [&](TProfGridCell& x) { return r == x.TopRow() && c == x.LeftVisibleCol(); };
        auto emptyOrigin = [&] {
            if (fieldStart && inside()) {
                TProfGridCell& x = Cell(c, r);
                if (isOrigin(x))
                    x.SetText(QString());
            }
        };
        // A field at an origin is the cell's text; elsewhere in a merged
        // cell it is appended on a new line.
        auto put = [&](const QString& quoted, const QString& raw, bool unquoteAppended) {
            if (!inside())
                return;
            TProfGridCell& x = Cell(c, r);
            if (isOrigin(x))
                x.SetText(quoted);
            else
                x.SetText(x.Text() + kCrLf + (unquoteAppended ? quoted : raw));
        };

        const QMimeData* data = Clipboard().mimeData();
        std::unique_ptr<QObject> component = data ? fc::ClipboardComponent(*data) : nullptr;
        auto* sel = component ? qobject_cast<TExtSel*>(component.get()) : nullptr;
        if (sel && component->metaObject() == &TExtSel::staticMetaObject) {
            QString rest = sel->Cells();
            const int cols = std::max(1, sel->ColCount());
            while (!rest.isEmpty()) {
                if (rest.front() != kTab) {
                    fieldStart = false;
                    insertions();
                    const qsizetype t = rest.indexOf(kTab);
                    const QString field = t < 0 ? rest : rest.left(t);
                    put(field, field, true);
                    rest.remove(0, field.size());
                } else {
                    insertions();
                    emptyOrigin();
                    ++c;
                    if (c - c0 >= cols) {
                        ++r;
                        c = c0;
                    }
                    fieldStart = true;
                    rest.remove(0, 1);
                }
            }
        } else if (data) {
            QString rest = data->text();
            while (!rest.isEmpty()) {
                if (const int eol = LineEndAt(rest, 0)) {
                    emptyOrigin();
                    c = c0;
                    ++r;
                    rest.remove(0, eol);
                    fieldStart = true;
                } else if (rest.front() != kTab) {
                    fieldStart = false;
                    insertions();
                    qsizetype t, br;
                    FindSeparators(rest, t, br);
                    if (t >= 0 && (br < 0 || t < br)) {
                        const QString field = rest.left(t);
                        put(UnquoteCellText(field), field, true);
                        rest.remove(0, t);
                    } else if (br >= 0) {
                        const QString field = rest.left(br);
                        put(UnquoteCellText(field), field, false);
                        rest.remove(0, br);
                    } else {
                        put(UnquoteCellText(rest), rest, true);
                        rest.clear();
                    }
                } else {
                    emptyOrigin();
                    ++c;
                    rest.remove(0, 1);
                    fieldStart = true;
                }
            }
        }
        SelectCell(c0, r0);
    } catch (...) {
        result = false;
    }
    EndUpdate();
    return result;
}
