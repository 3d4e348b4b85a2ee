#pragma once

#include <xlsxwriter.h>
#include <zip.h>

namespace qev {

// The libxlsxwriter and libzip functions the workbook writer calls, taken from
// the libraries when the first workbook is written: a run that writes none
// (printing, mail) does not load them nor OpenSSL's libcrypto behind them.
// Each is loaded once for the process; get() throws qev::Error when the
// library is missing or lacks a function (and tries again on the next call).
struct XlsxLibrary {
    decltype(&::workbook_new_opt) workbook_new_opt = nullptr;
    decltype(&::workbook_add_format) workbook_add_format = nullptr;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet = nullptr;
    decltype(&::workbook_close) workbook_close = nullptr;
    decltype(&::lxw_workbook_free) lxw_workbook_free = nullptr;
    decltype(&::lxw_strerror) lxw_strerror = nullptr;
    decltype(&::format_set_bold) format_set_bold = nullptr;
    decltype(&::format_set_top) format_set_top = nullptr;
    decltype(&::format_set_bottom) format_set_bottom = nullptr;
    decltype(&::format_set_num_format) format_set_num_format = nullptr;
    decltype(&::format_set_align) format_set_align = nullptr;
    decltype(&::worksheet_write_string) worksheet_write_string = nullptr;
    decltype(&::worksheet_write_number) worksheet_write_number = nullptr;
    decltype(&::worksheet_write_datetime) worksheet_write_datetime = nullptr;
    decltype(&::worksheet_set_column) worksheet_set_column = nullptr;
    decltype(&::worksheet_freeze_panes) worksheet_freeze_panes = nullptr;
    decltype(&::worksheet_autofilter) worksheet_autofilter = nullptr;

    static const XlsxLibrary& get();
};

struct ZipLibrary {
    decltype(&::zip_open) zip_open = nullptr;
    decltype(&::zip_discard) zip_discard = nullptr;
    decltype(&::zip_get_num_entries) zip_get_num_entries = nullptr;
    decltype(&::zip_get_name) zip_get_name = nullptr;
    decltype(&::zip_fopen_index) zip_fopen_index = nullptr;
    decltype(&::zip_fread) zip_fread = nullptr;
    decltype(&::zip_fclose) zip_fclose = nullptr;

    static const ZipLibrary& get();
};

}  // namespace qev
