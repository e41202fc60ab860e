#include "ARCustomExport.h"

#include <QCoreApplication>

#include "ARGridRep.h"
#include "platform/Errors.h"
#include "platform/Numbers.h"

TARCustomExport::TARCustomExport(QObject* owner) : QObject(owner) {}

TARCustomExport::~TARCustomExport() = default;

TARGridRep* TARCustomExport::ARRep() const { return arRep_; }

void TARCustomExport::SetARRep(TARGridRep* rep) { arRep_ = rep; }

void TARCustomExport::BeginProgress(int total)
{
    progressTotal_ = total;
    progressCurrent_ = 0;
    if (OnProgress) {
        bool abort = false;
        OnProgress(this, epsBegin, 0, abort);
    }
}

bool TARCustomExport::StepProgress()
{
    // Keeps the progress window painted while the export runs.
    QCoreApplication::processEvents();
    ++progressCurrent_;
    if (!OnProgress)
        return true;
    // current × 100 / total in one division, so that a half comes out exact
    // and rounds to the even neighbour.
    const int percent = int(fc::Round(fc::Divide(progressCurrent_ * 100.0, double(progressTotal_))));
    bool abort = false;
    OnProgress(this, epsStep, percent, abort);
    return !abort;
}

void TARCustomExport::EndProgress()
{
    if (OnProgress) {
        bool abort = false;
        OnProgress(this, epsEnd, 100, abort);
    }
}
