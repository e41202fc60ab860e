#include "ARFrame.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPainter>

#include "ARGridRep.h"

namespace {
TARFrameThread* g_thread = nullptr;
int g_count = 0;
int g_phase = 0;

// Sixteen 8-by-8 images: diagonal stripes shifted by the phase, black in
// 0 to 3, red in 8 to 11.
const std::vector<QImage>& images()
{
    static const std::vector<QImage> imgs = [] {
        std::vector<QImage> v(16);
        for (int i = 0; i < 16; ++i) {
            QImage img(8, 8, QImage::Format_RGB32);
            img.fill(Qt::white);
            const QColor ink = i >= 8 ? QColor(255, 0, 0) : QColor(0, 0, 0);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    if (((x + y + 2 * (i & 3)) & 7) < 4)
                        img.setPixelColor(x, y, ink);
            v[size_t(i)] = img;
        }
        return v;
    }();
    return imgs;
}
} // namespace

TARFrameThread::TARFrameThread() { start(); }

TARFrameThread::~TARFrameThread()
{
    QMutexLocker lock(&lock_);
    requestInterruption();
    // A tick waiting for the user-interface thread is run here (the lock is
    // re-entrant), so that the wait ends.
    while (isRunning() && !wait(10))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TARFrameThread::AddGrid(TARGridRep* grid)
{
    QMutexLocker lock(&lock_);
    if (!grids_.contains(grid))
        grids_.append(grid);
}

void TARFrameThread::RemoveGrid(TARGridRep* grid)
{
    QMutexLocker lock(&lock_);
    grids_.removeAll(grid);
}

bool TARFrameThread::HasGrid(TARGridRep* grid)
{
    QMutexLocker lock(&lock_);
    return grids_.contains(grid);
}

void TARFrameThread::run()
{
    while (!isInterruptionRequested()) {
        QMetaObject::invokeMethod(this, [this] { Animate(); }, Qt::BlockingQueuedConnection);
        // 100 ms between ticks, ended early when the thread is to stop.
        for (int i = 0; i < 10 && !isInterruptionRequested(); ++i)
            msleep(10);
    }
}

void TARFrameThread::Animate()
{
    QMutexLocker lock(&lock_);
    TFocusedCellStyle seen = fcsBlackAnt;
    for (TARGridRep* g : grids_) {
        const TFocusedCellStyle st = g->FocusedCellStyle();
        if (!g->parentWidget() || !g->isVisible() || !g->hasFocus() || (st != fcsBlackAnt && st != fcsRedAnt))
            continue;
        const int b = g->CurrentBandIndex(), c = g->CurrentCellIndex();
        if (b != g->AntBand || c != g->AntCell) {
            const TRect old = g->CellRect(g->AntBand, g->AntCell);
            if (!old.IsEmpty())
                g->viewport()->update(QRect(old.Left - 1, old.Top - 1, old.Width() + 2, old.Height() + 2));
            g->AntBand = b;
            g->AntCell = c;
        }
        const TRect v = g->VisibleCellRect(b, c);
        if (!v.IsEmpty())
            g->viewport()->update(QRect(v.Left, v.Top, v.Width(), v.Height()));
        seen = st;
    }
    g_phase = (g_phase + 1) % 4 + (seen == fcsRedAnt ? 8 : 0);
}

void TARFrameThread::Register(TARGridRep* grid)
{
    if (!g_thread)
        g_thread = new TARFrameThread;
    g_thread->AddGrid(grid);
    ++g_count;
    grid->AntBand = grid->AntCell = -1;
}

void TARFrameThread::Unregister(TARGridRep* grid)
{
    if (!g_thread || !g_thread->HasGrid(grid))
        return;
    g_thread->RemoveGrid(grid);
    if (--g_count <= 0) {
        g_count = 0;
        delete g_thread;
        g_thread = nullptr;
    }
}

TARFrameThread* TARFrameThread::Instance() { return g_thread; }
int TARFrameThread::GridCount() { return g_count; }
int TARFrameThread::Phase() { return g_phase; }
const QImage& TARFrameThread::FrameImage(int index) { return images()[size_t(index & 15)]; }
