#include "spreadsheet/XlsxLibraries.h"

#include "format/Error.h"
#include "format/SharedLibrary.h"

#include <QLibrary>
#include <QStringList>

namespace qev {

namespace {

// The first of the names that loads, kept loaded for the process, and its
// functions by name.
class Loader {
  public:
    Loader(QLibrary& library, const QString& shown, const QStringList& names)
        : FLibrary(library), FShown(shown) {
        if (const QString failure = loadFirstOf(library, names); !failure.isEmpty())
            throw notLoaded(failure);
    }

    template <class Function>
    void operator()(Function& function, const char* name) {
        if (!resolveFunction(FLibrary, function, name)) throw notLoaded(FLibrary.errorString());
    }

  private:
    Error notLoaded(const QString& reason) const {
        return Error(QStringLiteral("No se pudo cargar la biblioteca %1, necesaria para la hoja "
                                    "de cálculo: %2")
                         .arg(FShown, reason));
    }

    QLibrary& FLibrary;
    QString FShown;
};

QStringList names(const char* windowsName, const char* soName) {
#ifdef Q_OS_WIN
    Q_UNUSED(soName);
    const QString name = QString::fromLatin1(windowsName);
    return {name, QStringLiteral("lib") + name};
#else
    Q_UNUSED(windowsName);
    return {QString::fromLatin1(soName)};
#endif
}

XlsxLibrary loadXlsx() {
    static QLibrary library;
    Loader resolve(library, QStringLiteral("libxlsxwriter"),
                   names("xlsxwriter", "libxlsxwriter.so.4"));
    XlsxLibrary x;
    resolve(x.workbook_new_opt, "workbook_new_opt");
    resolve(x.workbook_add_format, "workbook_add_format");
    resolve(x.workbook_add_worksheet, "workbook_add_worksheet");
    resolve(x.workbook_close, "workbook_close");
    resolve(x.lxw_workbook_free, "lxw_workbook_free");
    resolve(x.lxw_strerror, "lxw_strerror");
    resolve(x.format_set_bold, "format_set_bold");
    resolve(x.format_set_top, "format_set_top");
    resolve(x.format_set_bottom, "format_set_bottom");
    resolve(x.format_set_num_format, "format_set_num_format");
    resolve(x.format_set_align, "format_set_align");
    resolve(x.worksheet_write_string, "worksheet_write_string");
    resolve(x.worksheet_write_number, "worksheet_write_number");
    resolve(x.worksheet_write_datetime, "worksheet_write_datetime");
    resolve(x.worksheet_set_column, "worksheet_set_column");
    resolve(x.worksheet_freeze_panes, "worksheet_freeze_panes");
    resolve(x.worksheet_autofilter, "worksheet_autofilter");
    return x;
}

ZipLibrary loadZip() {
    static QLibrary library;
    Loader resolve(library, QStringLiteral("libzip"), names("zip", "libzip.so.4"));
    ZipLibrary z;
    resolve(z.zip_open, "zip_open");
    resolve(z.zip_discard, "zip_discard");
    resolve(z.zip_get_num_entries, "zip_get_num_entries");
    resolve(z.zip_get_name, "zip_get_name");
    resolve(z.zip_fopen_index, "zip_fopen_index");
    resolve(z.zip_fread, "zip_fread");
    resolve(z.zip_fclose, "zip_fclose");
    return z;
}

}  // namespace

// A failed load leaves the static unset: the next call tries again.
const XlsxLibrary& XlsxLibrary::get() {
    static const XlsxLibrary library = loadXlsx();
    return library;
}

const ZipLibrary& ZipLibrary::get() {
    static const ZipLibrary library = loadZip();
    return library;
}

}  // namespace qev
