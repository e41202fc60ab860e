#pragma once
// The focus-frame animation: a marching-ants frame around the current cell
// of every grid whose focused-cell style is an ant style. The thread runs
// from its creation by the first ant grid until the last one goes; it only
// ticks, every 100 ms, and the animation step runs on the user-interface
// thread. No grid of the program uses an ant style.
#include <QImage>
#include <QList>
#include <QRecursiveMutex>
#include <QThread>

class TARGridRep;

class TARFrameThread : public QThread {
    Q_OBJECT
public:
    TARFrameThread();
    ~TARFrameThread() override;

    void AddGrid(TARGridRep* grid);
    void RemoveGrid(TARGridRep* grid);
    bool HasGrid(TARGridRep* grid);
    // One animation step (user-interface thread).
    void Animate();

    // The registry of ant grids; the object exists while a grid uses it.
    static void Register(TARGridRep* grid);
    static void Unregister(TARGridRep* grid);
    static TARFrameThread* Instance();
    static int GridCount();
    // The phase: an index into the frame images, 0 to 3 black, 8 to 11 red.
    static int Phase();
    static const QImage& FrameImage(int index);

protected:
    void run() override;

private:
    QList<TARGridRep*> grids_;
    QRecursiveMutex lock_;
};
