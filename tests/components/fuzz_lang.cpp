// Fuzz harness: any bytes as a language file, applied to a small window and
// asked for messages. Translating never crashes; the window keeps its
// number of choices, whatever the file's Items lists hold.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdint>
#include <cstdlib>

#include "components/Lang.h"
#include "platform/Errors.h"
#include "platform/PublishedProperties.h"

namespace {

struct Window {
    QWidget form;
    QGroupBox* group = new QGroupBox(&form);
    QComboBox* combo = new QComboBox(&form);
    QListWidget* list = new QListWidget(&form);
    QLabel* label = new QLabel(&form);
    QPlainTextEdit* memo = new QPlainTextEdit(&form);
    TLanguage lang{&form};

    Window()
    {
        form.setObjectName(QStringLiteral("DodedaVO"));
        group->setObjectName(QStringLiteral("Operazione"));
        auto* layout = new QVBoxLayout(group);
        for (const char* t : {"Verifica", "Calcolo per resa", "Calcolo per portata aria"})
            layout->addWidget(new QRadioButton(QString::fromLatin1(t), group));
        combo->setObjectName(QStringLiteral("Fluido"));
        combo->addItems({QStringLiteral("Acqua"), QStringLiteral("Glicole")});
        list->setObjectName(QStringLiteral("ListaModelli"));
        list->addItems({QStringLiteral("M1"), QStringLiteral("M2")});
        label->setObjectName(QStringLiteral("Label2"));
        memo->setObjectName(QStringLiteral("Memo1"));
        lang.SetSeparator(QStringLiteral(","));
        lang.SetProperties({QStringLiteral("DodedaVO.Operazione.Items"), QStringLiteral("DodedaVO.Operazione.Caption"),
                            QStringLiteral("DodedaVO.Fluido.Items"), QStringLiteral("DodedaVO.ListaModelli.Items"),
                            QStringLiteral("DodedaVO.Label2.Caption"), QStringLiteral("DodedaVO.Memo1.Lines"),
                            QStringLiteral(" DodedaVO . Label2 . Caption "), QStringLiteral("DodedaVO.Nessuno.Caption")});
    }
};

QApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_lang";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: what Qt caches stays reachable until the process ends.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    application();
    static Window* w = new Window;
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 0;
    const QString path = scratch.filePath(QStringLiteral("fuzz.lng"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    w->lang.SetLanguageFile(path);
    try {
        w->lang.Translate();
    } catch (const Exception&) {
    }
    for (const char* key : {"Velocità", "ERRORE: archivio mancante", "", "="})
        (void)w->lang.Msg(QString::fromUtf8(key));
    if (w->group->findChildren<QRadioButton*>().size() != 3 || w->combo->count() != 2 || w->list->count() != 2)
        std::abort();
    return 0;
}
