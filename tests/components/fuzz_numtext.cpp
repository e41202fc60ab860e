// Fuzz harness of the numeric edit's text. The first bytes choose the form
// (format, decimals, separators, length limit); every further byte is a key:
// a character, Backspace, Delete, caret moves, a selection or a paste of the
// bytes that follow. After every key the text is a number or one whose
// exponent is still without digits (in the thousands form, where no
// exponent can be written, a number), no longer than the edit allows, and
// leaving the control never raises.
// The bytes read as text go through reading and formatting as well.
#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

#include "components/OvNumEdit.h"
#include "components/OvNumFormat.h"
#include "platform/Beep.h"
#include "platform/Errors.h"
#include "platform/Numbers.h"

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_numtext";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: what Qt caches stays reachable until the process ends.
    static QApplication* app = new QApplication(argc, argv);
    fc::SetBeepSound(+[] {});
    return *app;
}

[[noreturn]] void fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "%s: '%s'\n", what, qPrintable(text));
    std::abort();
}

void check(const TOvNumEdit& e)
{
    const QChar dec = fc::DecimalSeparator();
    const QString d = QRegularExpression::escape(QString(dec));
    const QRegularExpression shape(QStringLiteral("^-?(\\d+%1?\\d*|%1\\d+)(E-?\\d*)?$").arg(d));
    const QString clean = TOvNumEdit::CleanText(e.Text());
    if (!shape.match(clean).hasMatch())
        fail("not a number", e.Text());
    // No exponent can be written in the thousands form: its text is always
    // a whole number.
    if (e.NumberFormat() == fc::TNumberFormat::Thousands) {
        try {
            fc::TextToExtended(e.Text());
        } catch (const Exception&) {
            fail("not a whole number in the thousands form", e.Text());
        }
    }
    // A limit of the program's own (MaxLength 0) bounds the text; a set
    // MaxLength limits typing only (a formatted text may be longer).
    if (e.MaxLength() == 0 && e.Text().size() > e.TextLimit() + 2)
        fail("longer than the limit", e.Text());
}

void type(TOvNumEdit& e, QChar c)
{
    int key = c.unicode();
    e.KeyDown(key, Qt::NoModifier);
    QChar k = c;
    e.KeyPress(k);
    e.KeyUp(key, Qt::NoModifier);
}

void press(TOvNumEdit& e, int qtKey, QChar c = QChar())
{
    int key = qtKey;
    e.KeyDown(key, Qt::NoModifier);
    if (!c.isNull()) {
        QChar k = c;
        e.KeyPress(k);
    }
    key = qtKey;
    e.KeyUp(key, Qt::NoModifier);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    application();
    if (size < 4)
        return 0;
    const auto format = fc::TNumberFormat(data[0] % 4);
    const int decimals = int(data[1] % 16) - 1;
    const bool comma = data[2] & 1;
    fc::SetDecimalSeparator(comma ? QChar(',') : QChar('.'));
    fc::SetThousandSeparator(comma ? QChar('.') : QChar(','));
    const int maxLength = (data[2] >> 1) % 4 == 0 ? int(data[3] % 24) : 0;

    // Reading and formatting the bytes as text.
    const QString raw = QString::fromLatin1(reinterpret_cast<const char*>(data) + 4, qsizetype(size - 4));
    try {
        const long double v = fc::StrToExtended(raw);
        const QString text = fc::FormatNumber(v, decimals, format);
        const long double back = fc::TextToExtended(text);
        if (!std::isfinite(back))
            fail("formatted text reads as no number", text);
    } catch (const Exception&) {
    }

    TOvNumEdit e;
    e.SetMaxLength(maxLength);
    e.SetDecimals(decimals);
    e.SetNumberFormat(format);
    const QChar dec = fc::DecimalSeparator(), th = fc::ThousandSeparator();
    for (size_t i = 4; i < size; ++i) {
        const uint8_t b = data[i];
        switch (b % 24) {
        case 10: type(e, QChar('-')); break;
        case 11: type(e, QChar('E')); break;
        case 12: type(e, QChar('e')); break;
        case 13: type(e, dec); break;
        case 14: type(e, th); break;
        case 15: press(e, Qt::Key_Backspace, QChar(8)); break;
        case 16: press(e, Qt::Key_Delete); break;
        case 17: e.SetSelStart(0); break;
        case 18: e.SetSelStart(int(e.Text().size())); break;
        case 19: e.SetSelStart(e.SelStart() - 1); break;
        case 20: e.SetSelStart(e.SelStart() + 1); break;
        case 21:
            if (i + 2 < size) {
                e.SetSelStart(int(data[i + 1] % (e.Text().size() + 1)));
                e.SetSelLength(int(data[i + 2]));
                i += 2;
            }
            break;
        case 22: {
            const size_t n = std::min<size_t>(size - i - 1, size_t(b / 24) * 64 + 1);
            QGuiApplication::clipboard()->setText(
                QString::fromLatin1(reinterpret_cast<const char*>(data) + i + 1, qsizetype(n)));
            e.PasteFromClipboard();
            i += n;
            break;
        }
        case 23: type(e, QChar(b)); break; // anything else
        default: type(e, QChar('0' + b % 24)); break;
        }
        check(e);
    }
    try {
        e.DoExit();
        if (!std::isfinite(e.Value()))
            fail("left as no number", e.Text());
    } catch (const Exception& x) {
        fail(qPrintable(x.Message()), e.Text());
    }
    return 0;
}
