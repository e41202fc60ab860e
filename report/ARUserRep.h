#pragma once
// The report grid view an application fills from a template file: named
// text variables, and copies of the template's bands appended by band name
// with the variables substituted into their cells.
#include <QHash>
#include <QStringList>
#include <memory>
#include <vector>

#include "ARGridRep.h"

namespace ar {
// A variable name as a hash key: equal as QString::compare without regard to
// case finds them (code point by code point through the simple case
// folding), hashed through the same folding.
struct VarName {
    QString name;
    friend bool operator==(const VarName& a, const VarName& b) { return EqualsIgnoringCase(a.name, b.name); }
    friend size_t qHash(const VarName& v, size_t seed) noexcept
    {
        size_t h = seed;
        const qsizetype n = v.name.size();
        for (qsizetype i = 0; i < n; ++i) {
            char32_t c = v.name[i].unicode();
            // ASCII folds A-Z alone; names are nearly always ASCII.
            if (c < 0x80) {
                h = h * 31 + (c >= 'A' && c <= 'Z' ? c + 32 : c);
                continue;
            }
            if (QChar::isHighSurrogate(c) && i + 1 < n && v.name[i + 1].isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), v.name[++i].unicode());
            h = h * 31 + QChar::toCaseFolded(c);
        }
        return h;
    }
};
} // namespace ar

class TARUserRep : public TARGridRep {
    Q_OBJECT
public:
    explicit TARUserRep(QWidget* parent = nullptr);
    ~TARUserRep() override;

    TARRep* Template() const { return template_; }
    int TemplateCacheCount() const { return int(cache_.size()); }
    QString TemplateCacheName(int i) const { return cache_[size_t(i)].name; }

    void LoadTemplate(const QString& fileName);
    // Reads and parses a template file into the cache, as LoadTemplate
    // would, without making it the current template or touching the
    // report: its later LoadTemplate finds it parsed while the file's bytes
    // are the same. Raises as LoadTemplate when the file cannot be read.
    void PrepareTemplate(const QString& fileName);
    void ClearVars();
    void Clear() override;
    void SetVar(const QString& name, const QString& value);
    QString GetVar(const QString& name) const;
    // The variable lines, NAME=value each (names upper-cased).
    const QStringList& Vars() const;
    void SetVarValue(const QString& name, int value) override;
    TARBand* AddBands(const QString& name);
    void PageBreak() { pendingBandState_ |= arbsPageBreak; }
    TARBandState PendingBandState() const { return pendingBandState_; }

    QString Path() const { return path_; }
    void SetPath(const QString& p) { LoadTemplate(p); }
    QString Title();
    void SetTitle(const QString& t);

    void Loaded() override;
    void EvalCell(TARCell* source, TARCell* target) override;
    void MoveToPrevBand() override;
    void MoveToNextBand() override;
    void SetFocus();

protected:
    QStringList GetARTemplate() const override;
    void SetARTemplate(const QStringList& t) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void ApplyTemplate(bool changed);
    void indexBands();
    static void parseTemplateCells(TARRep* rep);
    int findVar(const QString& name) const;
    void setVar(const QString& name, const QString& value);
    void rebuildVarIndex();
    struct Entry;
    Entry& cacheEntry(const QString& fileName);
    // Parses the entry's file unless its bytes are those last parsed; true
    // when it did.
    bool parseFile(Entry& e, const QString& fileName);
    struct Entry {
        QString name;
        std::unique_ptr<TARRep> rep;
        QByteArray bytes;    // of the file the template was last parsed from
        bool parsed = false; // the template is what bytes make
    };
    std::vector<Entry> cache_;
    TARRep* template_ = nullptr;
    // The variables in the order set: upper-cased names, their values, and
    // the variable of each name by its case-folded form (a page sets a few
    // hundred variables and every reference of every appended cell is
    // looked up). The NAME=value lines are made only when asked for.
    QStringList names_;
    QStringList values_;
    mutable QStringList lines_;
    mutable bool linesMade_ = true;
    QHash<ar::VarName, int> varIndex_;
    TARBandState pendingBandState_ = 0;
    // The template's bands by case-folded name, in template order.
    QHash<QString, std::vector<int>> bandsByName_;
    const TARRep* indexedTemplate_ = nullptr;
    int indexedBands_ = -1;
    QString path_;
};
