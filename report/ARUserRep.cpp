#include "ARUserRep.h"

#include <QMouseEvent>
#include <memory>

#include "ARPrinter.h"

TARUserRep::TARUserRep(QWidget* parent) : TARGridRep(parent)
{
    SetGutter(0);
    ShowBandTitle = true;
    cache_.push_back(Entry{QString(), std::make_unique<TARRep>()});
    template_ = cache_.front().rep.get();
    Clear();
}

TARUserRep::~TARUserRep() = default;

void TARUserRep::Clear()
{
    TARGridRep::Clear();
    viewport()->update();
}

TARUserRep::Entry& TARUserRep::cacheEntry(const QString& fileName)
{
    if (cache_.size() == 1 && cache_.front().name.isEmpty()) {
        cache_.front().name = fileName;
        return cache_.front();
    }
    for (Entry& c : cache_)
        if (TextEquals(c.name, fileName))
            return c;
    cache_.push_back(Entry{fileName, std::make_unique<TARRep>()});
    return cache_.back();
}

bool TARUserRep::parseFile(Entry& e, const QString& fileName)
{
    e.rep->FileSystem = FileSystem();
    // The same bytes make the same template: it is parsed again only when
    // its file changed (or the template was set otherwise meanwhile).
    const QByteArray bytes = e.rep->ReadFile(fileName);
    if (e.parsed && bytes == e.bytes)
        return false;
    e.parsed = false;
    e.rep->SetARTemplate(ar::DecodeTemplateLines(bytes));
    parseTemplateCells(e.rep.get());
    e.bytes = bytes;
    e.parsed = true;
    return true;
}

void TARUserRep::LoadTemplate(const QString& fileName)
{
    CheckNotInUse();
    path_ = fileName;
    Entry& e = cacheEntry(fileName);
    template_ = e.rep.get();
    const bool changed = parseFile(e, fileName);
    Rep()->PageSize().Assign(template_->PageSize());
    Rep()->Orientation = template_->Orientation;
    Rep()->LeftMargin = template_->LeftMargin;
    Rep()->TopMargin = template_->TopMargin;
    Rep()->RightMargin = template_->RightMargin;
    Rep()->BottomMargin = template_->BottomMargin;
    ApplyTemplate(changed);
}

void TARUserRep::PrepareTemplate(const QString& fileName)
{
    CheckNotInUse();
    // The unnamed entry is the current template until a file names it.
    if (cache_.size() == 1 && cache_.front().name.isEmpty())
        cache_.push_back(Entry{fileName, std::make_unique<TARRep>()});
    Entry& e = cacheEntry(fileName);
    if (parseFile(e, fileName) && e.rep.get() == template_)
        indexBands();
}

void TARUserRep::parseTemplateCells(TARRep* rep)
{
    for (int i = 0; i < rep->BandCount(); ++i) {
        TARBand* b = rep->GetBand(i);
        for (int j = 0; j < b->CellCount(); ++j)
            b->GetCell(j)->ParseVarNames();
    }
}

void TARUserRep::ApplyTemplate(bool changed)
{
    Printer()->PageSize().Assign(template_->PageSize());
    Printer()->SetOrientation(template_->Orientation);
    if (changed)
        indexBands();
    Rep()->Font = template_->Font;
    viewport()->update();
}

static ar::VarName varKey(const QString& name) { return {name}; }

int TARUserRep::findVar(const QString& name) const { return varIndex_.value(varKey(name), -1); }

void TARUserRep::ClearVars()
{
    CheckNotInUse();
    names_.clear();
    values_.clear();
    lines_.clear();
    linesMade_ = true;
    // The next page sets as many: the index keeps its room.
    const qsizetype n = varIndex_.size();
    varIndex_.clear();
    varIndex_.reserve(n);
}

void TARUserRep::rebuildVarIndex()
{
    varIndex_.clear();
    for (int i = 0; i < names_.size(); ++i) {
        const ar::VarName key = varKey(names_[i]);
        // The first line of a name is the one found, as a scan finds it.
        if (!varIndex_.contains(key))
            varIndex_.insert(key, i);
    }
}

void TARUserRep::SetVar(const QString& name, const QString& value)
{
    CheckNotInUse();
    setVar(name, value);
}

// The name as stored: upper-cased, as it stands where it has nothing to
// upper-case (the usual all-capitals ASCII name costs no copy).
static QString upperName(const QString& name)
{
    for (const QChar c : name)
        if (c.unicode() >= 0x80 || (c >= u'a' && c <= u'z'))
            return name.toUpper();
    return name;
}

void TARUserRep::setVar(const QString& name, const QString& value)
{
    const int at = findVar(name);
    if (value.isEmpty()) {
        if (at >= 0) {
            names_.removeAt(at);
            values_.removeAt(at);
            linesMade_ = false;
            rebuildVarIndex();
        }
        return;
    }
    const QString upper = upperName(name);
    linesMade_ = false;
    if (at >= 0) {
        names_[at] = upper;
        values_[at] = value;
        // Upper-casing can change what the stored name matches (a capital
        // sharp s becomes SS).
        if (varKey(upper) != varKey(name))
            rebuildVarIndex();
    } else {
        // Not found by name: nor by the same name upper-cased as it stood.
        const ar::VarName key = varKey(upper);
        if (upper.constData() == name.constData() || !varIndex_.contains(key))
            varIndex_.insert(key, int(names_.size()));
        names_.append(upper);
        values_.append(value);
    }
}

const QStringList& TARUserRep::Vars() const
{
    if (!linesMade_) {
        lines_.clear();
        lines_.reserve(names_.size());
        for (qsizetype i = 0; i < names_.size(); ++i)
            lines_.append(names_[i] + u'=' + values_[i]);
        linesMade_ = true;
    }
    return lines_;
}

QString TARUserRep::GetVar(const QString& name) const
{
    const int at = findVar(name);
    return at < 0 ? QString() : values_[at];
}

// The page building's own variable ("Page"): set while the report is in use.
void TARUserRep::SetVarValue(const QString& name, int value) { setVar(name, QString::number(value)); }

void TARUserRep::EvalCell(TARCell* source, TARCell* target)
{
    // One change of the cell, told once at the end.
    ar::UpdateScope<TARCell> scope(target);
    QString v;
    target->SetMinWidth(source->Width());
    const TAIStringList& pieces = source->VarNameList();
    bool anyVar = false;
    for (int i = 0; i < pieces.Count(); ++i) {
        if (pieces.Object(i) != 0) {
            const QString val = GetVar(pieces[i]);
            if (!val.isEmpty()) {
                v += val;
                anyVar = true;
            }
        } else {
            v += pieces[i];
        }
    }
    target->SetValue(v);
    if (anyVar)
        target->SetIsRTF(false);
    const TAIStringList& uv = Rep()->UserVarList();
    int at = -1;
    for (int i = 0; i < uv.Count() && at < 0; ++i)
        if (TextEquals(uv[i], target->UserVar()))
            at = i;
    target->SetUserVarValue(at >= 0 ? int(uv.Object(at)) : -1);
}

TARBand* TARUserRep::AddBands(const QString& name)
{
    CheckNotInUse();
    EnsureRTF();
    Rep()->Font = template_->Font;
    std::vector<std::unique_ptr<TARBand>> added;
    // The template's bands of that name, found without a walk of them all;
    // a template changed behind the index is indexed again.
    if (indexedTemplate_ != template_ || indexedBands_ != template_->BandCount())
        indexBands();
    const auto it = bandsByName_.constFind(name.toCaseFolded());
    if (it != bandsByName_.constEnd())
        for (int i : it.value()) {
            TARBand* tb = template_->GetBand(i);
            if (!TextEquals(tb->Name(), name)) {
                // Renamed since: the walk, and the index made anew.
                added.clear();
                for (int k = 0; k < template_->BandCount(); ++k)
                    if (TextEquals(template_->GetBand(k)->Name(), name))
                        added.emplace_back(EvalBand(template_->GetBand(k), template_));
                indexBands();
                break;
            }
            added.emplace_back(EvalBand(tb, template_));
        }
    if (added.empty()) {
        viewport()->update();
        return nullptr;
    }
    TARBand* first = added.front().get();
    TARBand* last = added.back().get();
    for (auto& b : added)
        Rep()->AppendBand(b.release());
    first->BandState = pendingBandState_;
    pendingBandState_ = 0;
    viewport()->update();
    return last;
}

QString TARUserRep::Title() { return Printer()->GetTitle(); }
void TARUserRep::SetTitle(const QString& t) { Printer()->SetTitle(t); }

void TARUserRep::Loaded()
{
    TARGridRep::Loaded();
    parseTemplateCells(template_);
}

QStringList TARUserRep::GetARTemplate() const { return template_->ARTemplate(); }

void TARUserRep::SetARTemplate(const QStringList& t)
{
    CheckNotInUse();
    // The template no longer holds what its file's bytes made.
    for (Entry& e : cache_)
        if (e.rep.get() == template_)
            e.parsed = false;
    template_->SetARTemplate(t);
    parseTemplateCells(template_);
    ApplyTemplate(true);
}

void TARUserRep::indexBands()
{
    bandsByName_.clear();
    for (int i = 0; i < template_->BandCount(); ++i)
        bandsByName_[template_->GetBand(i)->Name().toCaseFolded()].push_back(i);
    indexedTemplate_ = template_;
    indexedBands_ = template_->BandCount();
}

void TARUserRep::SetFocus()
{
    setFocus();
    ClearSelection();
    ToggleCellSelection(CurrentBandIndex(), CurrentCellIndex());
}

void TARUserRep::MoveToPrevBand()
{
    TARCell* c = CurrentCell();
    if (!c)
        return;
    TARBand* master = c->MasterBand();
    const int first = master ? Rep()->IndexOfBand(master) : CurrentBandIndex();
    SetCurrentBandIndex(IntMax(first - 1, 0));
}

void TARUserRep::MoveToNextBand()
{
    TARCell* c = CurrentCell();
    if (!c)
        return;
    TARBand* last = c->LastSpanBand();
    const int l = last ? Rep()->IndexOfBand(last) : CurrentBandIndex();
    SetCurrentBandIndex(IntMin(l + 1, Rep()->BandCount() - 1));
}

void TARUserRep::mousePressEvent(QMouseEvent* e)
{
    TARGridRep::mousePressEvent(e);
    int ci = -1, bi = -1;
    const QPoint p = e->position().toPoint();
    TARCell* cell = CellAtPos(p.x(), p.y(), ci, bi);
    if (cell) {
        SetCurrentBandIndex(bi);
        SetCurrentCellIndex(ci);
        if (!(e->modifiers() & Qt::ControlModifier))
            ClearSelection();
        ToggleCellSelection(CurrentBandIndex(), CurrentCellIndex());
        if (OnSelectCell)
            OnSelectCell(this, bi, ci);
        viewport()->update();
    } else if (bi >= 0 && p.x() < Gutter()) {
        TARBand* b = Rep()->GetBand(bi);
        if (b->Expandable()) {
            b->SetExpanded(!b->Expanded());
            viewport()->update();
            if (b->Expanded() && OnExpandBand)
                OnExpandBand(this, bi);
            else if (!b->Expanded() && OnCollapseBand)
                OnCollapseBand(this, bi);
        } else if (OnSelectBand) {
            OnSelectBand(this, bi);
        }
    }
}

void TARUserRep::mouseMoveEvent(QMouseEvent* e)
{
    TARGridRep::mouseMoveEvent(e);
    if (!(e->buttons() & Qt::LeftButton))
        return;
    const QPoint p = e->position().toPoint();
    if (p.y() < 0) {
        SetVPos(VPos() - 10);
        return;
    }
    if (p.y() > ClientHeight()) {
        SetVPos(VPos() + 10);
        return;
    }
    int ci = -1, bi = -1;
    TARCell* cell = CellAtPos(p.x(), p.y(), ci, bi);
    if (cell && cell != CurrentCell()) {
        SetCurrentBandIndex(bi);
        SetCurrentCellIndex(ci);
        ToggleCellSelection(CurrentBandIndex(), CurrentCellIndex());
        if (OnSelectCell)
            OnSelectCell(this, bi, ci);
        viewport()->update();
    }
}
