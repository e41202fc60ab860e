#pragma once
// Reading a written workbook's first sheet back in tests: what each cell
// holds, the merged ranges, and which cells wrap their text.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <map>
#include <set>
#include <vector>

#include "ZipRead.h"

namespace fc::test {

struct SheetCell {
    QString value;       // the text, or the number as the file writes it
    bool number = false; // a number cell (no type attribute)
    int style = 0;
};

struct SheetContents {
    std::map<QString, SheetCell> cells; // by reference ("B3"); blank cells left out
    QStringList merges;                 // "A1:B2"
    std::set<int> wrapStyles;           // cell formats that wrap
    bool Wraps(const QString& ref) const
    {
        auto it = cells.find(ref);
        return it != cells.end() && wrapStyles.count(it->second.style) > 0;
    }
    QString Value(const QString& ref) const
    {
        auto it = cells.find(ref);
        return it != cells.end() ? it->second.value : QString();
    }
};

// "AB12" -> column 28 (from 1), row 12.
inline void SplitCellRef(const QString& ref, int& col, int& row)
{
    col = 0;
    int i = 0;
    while (i < ref.size() && ref[i].isLetter())
        col = col * 26 + (ref[i++].unicode() - u'A' + 1);
    row = ref.mid(i).toInt();
}

inline SheetContents ReadFirstSheet(const QString& path)
{
    SheetContents out;
    std::vector<QString> shared;
    {
        QXmlStreamReader x(ReadZipMember(path, "xl/sharedStrings.xml"));
        QString current;
        bool inSi = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"si") {
                inSi = true;
                current.clear();
            } else if (x.isStartElement() && x.name() == u"t" && inSi) {
                current += x.readElementText();
            } else if (x.isEndElement() && x.name() == u"si") {
                shared.push_back(current);
                inSi = false;
            }
        }
    }
    {
        QXmlStreamReader x(ReadZipMember(path, "xl/styles.xml"));
        bool inXfs = false;
        int index = -1;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"cellXfs")
                inXfs = true;
            else if (x.isEndElement() && x.name() == u"cellXfs")
                inXfs = false;
            else if (inXfs && x.isStartElement() && x.name() == u"xf")
                ++index;
            else if (inXfs && x.isStartElement() && x.name() == u"alignment"
                     && x.attributes().value(QLatin1String("wrapText")) == u"1")
                out.wrapStyles.insert(index);
        }
    }
    QXmlStreamReader x(ReadZipMember(path, "xl/worksheets/sheet1.xml"));
    QString ref, type;
    int style = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == u"c") {
            ref = x.attributes().value(QLatin1String("r")).toString();
            type = x.attributes().value(QLatin1String("t")).toString();
            style = x.attributes().value(QLatin1String("s")).toInt();
        } else if (x.name() == u"v") {
            const QString v = x.readElementText();
            SheetCell c;
            c.style = style;
            if (type == u"s") {
                const size_t i = size_t(v.toInt());
                c.value = i < shared.size() ? shared[i] : QString();
            } else {
                c.value = v;
                c.number = type.isEmpty() || type == u"n";
            }
            out.cells[ref] = c;
        } else if (x.name() == u"mergeCell") {
            out.merges << x.attributes().value(QLatin1String("ref")).toString();
        }
    }
    return out;
}

} // namespace fc::test
