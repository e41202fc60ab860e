#pragma once
// The grid's clipboard component: TExtSel carries the raw texts of a copied
// rectangle between grids of this program, beside the plain text that
// other programs read. It travels as a small component stream (class name,
// then its published properties by name); the reader finds the class by
// name in the class registry, so the class must be registered at start-up.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QMimeData;

class TExtSel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Cells READ Cells WRITE SetCells)
    Q_PROPERTY(int ColCount READ ColCount WRITE SetColCount)
public:
    explicit TExtSel(QObject* parent = nullptr) : QObject(parent) {}

    // The texts in row order, each followed by a tab.
    const QString& Cells() const { return cells_; }
    void SetCells(const QString& v) { cells_ = v; }
    // Columns of the copied rectangle: where a row of Cells ends.
    int ColCount() const { return colCount_; }
    void SetColCount(int v) { colCount_ = v; }

private:
    QString cells_;
    int colCount_ = 0;
};

namespace fc {

// What the class registry holds for a component class: its factory.
using TComponentClass = std::function<QObject*()>;

// The clipboard format of components ("Tesbra Component" on Windows).
QString ComponentClipboardFormat();

// A component's stream: its class name and published properties.
QByteArray WriteComponent(const QObject& component);
// Reads a component stream back; raises EClassNotFound for a class that is
// not registered and Exception for a damaged stream.
std::unique_ptr<QObject> ReadComponent(const QByteArray& stream);

// Puts a component on the mime data (its stream under the component format).
void SetClipboardComponent(QMimeData& data, const QObject& component);
// The component on the mime data, or nullptr when it holds none.
std::unique_ptr<QObject> ClipboardComponent(const QMimeData& data);

// Start-up registration of the grid's classes (TExtSel).
void RegisterProfGridClasses();

} // namespace fc
