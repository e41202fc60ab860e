#pragma once
// Horizontal alignment of text in a control or a cell.

#include <QtGlobal>

enum TAlignment : quint8 { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
