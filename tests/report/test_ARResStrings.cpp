// The report engine's own texts: English, untranslated, as written.
#include <gtest/gtest.h>

#include "ARResStrings.h"
#include "ReportTestUtil.h"

TEST(EngineTexts, TableAsWritten)
{
    const std::pair<int, const char*> table[] = {
        {65184, "Zoom to fit page"}, {65185, "Print"}, {65186, "Prior page"}, {65187, "Next page"},
        {65188, "Last page"}, {65189, "Zoom %"}, {65190, "Page %d of %d"}, {65191, "Show nonprinting area"},
        {65192, "Standard"}, {65193, "File"}, {65194, "Preferences"}, {65195, "Extensions"},
        {65196, "Register as default editor"}, {65197, "Add"}, {65198, "Delete"}, {65205, "&OK"},
        {65206, "Close"}, {65207, "&Cancel"}, {65208, "Pages: %d"}, {65209, "Preparing pages"},
        {65210, "Abort"}, {65211, "Preview"}, {65212, "Printer setup"}, {65213, "First page"},
        {65214, "Zoom to 100%"}, {65215, "Zoom to width"},
    };
    for (const auto& [id, text] : table)
        EXPECT_EQ(ar::ResStr(id), QString::fromLatin1(text)) << id;
    EXPECT_EQ(ar::ResStr(65199), "");
}

TEST(EngineTexts, NumbersFillThePlaceholdersInOrder)
{
    EXPECT_EQ(ar::FormatD(ar::ResStr(ar::sPageOf), {1, 3}), "Page 1 of 3");
    EXPECT_EQ(ar::FormatD(ar::ResStr(ar::sPages), {12}), "Pages: 12");
    // A percent sign that is no placeholder stays.
    EXPECT_EQ(ar::FormatD(ar::ResStr(ar::sZoomPercent), {5}), "Zoom %");
    EXPECT_EQ(ar::FormatD(QStringLiteral("%d %d"), {7}), "7 %d");
}
