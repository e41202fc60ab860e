#pragma once
// The preview window of the selection reports: the filled report in its
// report grid, and Print, "--> PDF", "--> Excel" and Quit.
#include <QWidget>
#include <functional>

#include "report/ARExcelExport.h"
#include "report/ARUserRep.h"

class QPushButton;
class TPrintProgressDlg;
class TLanguage;

class TFormPrew : public QWidget {
    Q_OBJECT
public:
    explicit TFormPrew(QWidget* parent = nullptr);
    ~TFormPrew() override;

    QPushButton* Button3;   // Print
    QPushButton* ConvToRTF; // --> PDF
    QPushButton* Button1;   // --> Excel
    QPushButton* Button4;   // Quit
    TARUserRep* UserRep = nullptr;

    // The main window's reference text, read when a PDF name is proposed.
    std::function<QString()> TestoRiferimento;
    // Translation of the overwrite question; none: the Italian text.
    TLanguage* Lingua = nullptr;
    // The report's export to a workbook, with its progress dialog.
    TARExcelExport* ARExcelExport1;

    void FormShow();
    void Button3Click();
    void ConvToRTFClick();
    void Button1Click();
    void Button4Click();

    // The proposed PDF name for a reference text: "Report.pdf" when empty,
    // else the text with every character but blank, "-", digit, ASCII
    // letter and "_" replaced by "_", plus ".pdf".
    static QString NomePdfProposto(const QString& riferimento);

    // The export's progress in its window; true when the export is to stop
    // (Abort pressed, or this window closed).
    bool ARExcelExport1Progress(TARExportProgressStage stage, int percentDone);

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void placeUserRep();
    QString msg(const QString& text) const;
    // Writes the workbook to name (a whole path) and opens it on the desktop.
    void ExportWorkbook(const QString& name);
    QString cartellaExcel_; // folder of the last workbook written
    bool stopExport_ = false;
};
