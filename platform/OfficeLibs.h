#pragma once
// The workbook and zip libraries, opened when a document is first written
// rather than at every start of the program: with what they bring along
// they are a tenth of the libraries the program would otherwise load, and
// most sessions never export. Each table holds the functions this program
// calls, under their own names.
#include <QString>
#include <xlsxwriter.h>
#include <zip.h>

namespace fc::office {

#define FC_XLSX_FUNCTIONS(X)                                                                                            \
    X(workbook_new)                                                                                                     \
    X(workbook_add_worksheet)                                                                                           \
    X(workbook_add_format)                                                                                              \
    X(workbook_close)                                                                                                   \
    X(worksheet_set_column)                                                                                             \
    X(worksheet_set_row)                                                                                                \
    X(worksheet_set_row_opt)                                                                                            \
    X(worksheet_merge_range)                                                                                            \
    X(worksheet_write_blank)                                                                                            \
    X(worksheet_write_string)                                                                                           \
    X(worksheet_write_number)                                                                                           \
    X(worksheet_write_formula)                                                                                          \
    X(worksheet_insert_image_buffer)                                                                                    \
    X(format_set_font_name)                                                                                             \
    X(format_set_font_size)                                                                                             \
    X(format_set_font_color)                                                                                            \
    X(format_set_bold)                                                                                                  \
    X(format_set_italic)                                                                                                \
    X(format_set_underline)                                                                                             \
    X(format_set_font_strikeout)                                                                                        \
    X(format_set_pattern)                                                                                               \
    X(format_set_bg_color)                                                                                              \
    X(format_set_align)                                                                                                 \
    X(format_set_text_wrap)                                                                                             \
    X(format_set_rotation)                                                                                              \
    X(format_set_num_format)                                                                                            \
    X(format_set_left)                                                                                                  \
    X(format_set_left_color)                                                                                            \
    X(format_set_top)                                                                                                   \
    X(format_set_top_color)                                                                                             \
    X(format_set_bottom)                                                                                                \
    X(format_set_bottom_color)                                                                                          \
    X(format_set_right)                                                                                                 \
    X(format_set_right_color)                                                                                           \
    X(lxw_strerror)

#define FC_ZIP_FUNCTIONS(X)                                                                                             \
    X(zip_error_init)                                                                                                   \
    X(zip_error_strerror)                                                                                               \
    X(zip_source_buffer_create)                                                                                         \
    X(zip_source_keep)                                                                                                  \
    X(zip_open_from_source)                                                                                             \
    X(zip_source_free)                                                                                                  \
    X(zip_source_buffer)                                                                                                \
    X(zip_file_add)                                                                                                     \
    X(zip_strerror)                                                                                                     \
    X(zip_discard)                                                                                                      \
    X(zip_close)                                                                                                        \
    X(zip_source_open)                                                                                                  \
    X(zip_source_seek)                                                                                                  \
    X(zip_source_tell)                                                                                                  \
    X(zip_source_read)                                                                                                  \
    X(zip_source_close)

#define FC_OFFICE_POINTER(name) decltype(&::name) name = nullptr;
struct XlsxLibrary {
    FC_XLSX_FUNCTIONS(FC_OFFICE_POINTER)
};
struct ZipLibrary {
    FC_ZIP_FUNCTIONS(FC_OFFICE_POINTER)
};
#undef FC_OFFICE_POINTER

// The library, opened on the first call and kept; null, with the reason in
// *why, when it or one of its functions cannot be loaded.
const XlsxLibrary* Xlsx(QString* why);
const ZipLibrary* Zip(QString* why);

} // namespace fc::office
