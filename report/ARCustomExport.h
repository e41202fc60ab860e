#pragma once
// Base of the report exporters: the grid whose document is exported, the
// target file and a progress event that the export's units of work turn
// into begin, percentage and end notifications.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class TARGridRep;

enum TARExportProgressStage { epsBegin = 0, epsStep = 1, epsEnd = 2 };

// Abort is false on entry; only a handler of an epsStep notification can stop
// the export by setting it.
using TARExportProgressEvent =
    std::function<void(QObject* sender, TARExportProgressStage stage, int percentDone, bool& abort)>;

class TARCustomExport : public QObject {
    Q_OBJECT
public:
    explicit TARCustomExport(QObject* owner = nullptr);
    ~TARCustomExport() override;

    // The grid is not owned; it reads as nullptr once the grid is gone.
    TARGridRep* ARRep() const;
    void SetARRep(TARGridRep* rep);
    // Empty: no file is written.
    QString FileName;
    TARExportProgressEvent OnProgress;

    // Exports ARRep's document.
    virtual void Execute() = 0;

protected:
    void BeginProgress(int total);
    // After each finished unit: processes pending events, then notifies.
    // False when the handler asked to stop.
    bool StepProgress();
    void EndProgress();

private:
    QPointer<TARGridRep> arRep_;
    int progressTotal_ = 0;
    int progressCurrent_ = 0;
};
