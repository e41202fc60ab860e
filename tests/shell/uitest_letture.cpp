// What the window accepts as a number from a field's text, on each road it
// reads one: the calculation run (a decimal field and an integer field,
// where a text that is no number stops the run with the conversion
// message) and the page check (a text that is no number is refused with the
// page's message).
#include <QLineEdit>

#include "ShellFixture.h"
#include "components/OvNumEdit.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

namespace fc::test {
namespace {

class Letture : public ShellTest {};

TEST_F(Letture, EveryRoadAcceptsAndRefusesTheSameTexts)
{
    standardFolder();
    open();
    struct Case {
        const char* text;
        const char* decimal; // the run's decimal field
        const char* integer; // the run's integer field
        const char* page;    // the page check
    };
    // Separators as the tests set them: "." decimal, "," thousands.
    const Case cases[] = {
        {"12", "12", "12", "12"},
        {"  12", "12", "12", "12"},
        {"12  ", "12", "'12  ' is not a valid integer value", "12"},
        {"-3.5", "-3.5", "'-3.5' is not a valid integer value", "refused"}, // below the glycol table
        {"+4", "4", "4", "4"},
        {"1,234", "1234", "1234", "refused"}, // above it
        {"1,234.5", "1234.5", "'1234.5' is not a valid integer value", "refused"},
        {"1e3", "1000", "'1e3' is not a valid integer value", "refused"},
        {"2E-1", "0.2", "'2E-1' is not a valid integer value", "0.2"},
        // An emptied field reads as 0.
        {"", "0", "0", "0"},
        // So does a field left with a sign or a separator alone.
        {"-", "0", "0", "0"},
        {".", "0", "0", "0"},
        {" - ", "0", "0", "0"},
        {"abc", "'abc' is not a valid floating point value", "'abc' is not a valid integer value", "refused"},
        {"1.2.3", "'1.2.3' is not a valid floating point value", "'1.2.3' is not a valid integer value", "refused"},
        {"1e999", "'1e999' is not a valid floating point value", "'1e999' is not a valid integer value", "refused"},
        {"inf", "'inf' is not a valid floating point value", "'inf' is not a valid integer value", "refused"},
        {"nan", "'nan' is not a valid floating point value", "'nan' is not a valid integer value", "refused"},
        {"0x10", "'0x10' is not a valid floating point value", "16", "refused"},
        {"$10", "'$10' is not a valid floating point value", "16", "refused"},
        {"2147483648", "2147483648", "'2147483648' is not a valid integer value", "refused"},
        {"-0", "0", "0", "0"},
        {"12a", "'12a' is not a valid floating point value", "'12a' is not a valid integer value", "refused"},
    };
    Ui::TDodedaVO& u = f();
    // The text as typed, as the user leaves it.
    auto type = [](QLineEdit* e, const QString& text) { e->setText(text); };
    auto number = [](double v) { return QString::number(v, 'g', 15); };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(c.text);

        // The run reads the field before anything else can stop it; a text
        // that is no number stops it with the conversion message.
        type(u.TBSFreddo, text);
        Stato.TBSFreddo = -99;
        QString got = MessageOf([&] { window->eseguiCalcolo(); });
        EXPECT_EQ((got.contains(QLatin1String("is not a valid")) ? got : number(Stato.TBSFreddo)).toStdString(),
                  c.decimal);
        type(u.TBSFreddo, QStringLiteral("27"));
        type(u.ResaRichFreddoWatt, text);
        Stato.ResaRichFreddoWatt = -99;
        got = MessageOf([&] { window->eseguiCalcolo(); });
        EXPECT_EQ((got.contains(QLatin1String("is not a valid")) ? got : number(Stato.ResaRichFreddoWatt)).toStdString(),
                  c.integer);
        type(u.ResaRichFreddoWatt, QStringLiteral("0"));

        // The page check keeps the glycol share only when it reads a number
        // within the glycol table.
        type(u.Glicoperc, text);
        Stato.Glicoperc = -99;
        window->validaPagina(1);
        EXPECT_EQ((Stato.Glicoperc == -99 ? QStringLiteral("refused") : number(Stato.Glicoperc)).toStdString(), c.page);
        type(u.Glicoperc, QStringLiteral("0"));
    }
}

} // namespace
} // namespace fc::test
