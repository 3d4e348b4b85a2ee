#include "mail/CurlLibrary.h"

#include "format/SharedLibrary.h"
#include "mail/MailError.h"

#include <QLibrary>
#include <QStringList>

#include <mutex>

namespace qev {

namespace {

QStringList libraryNames() {
#ifdef Q_OS_WIN
    return {QStringLiteral("libcurl"), QStringLiteral("libcurl-x64"), QStringLiteral("libcurl-4")};
#else
    return {QStringLiteral("libcurl.so.4")};
#endif
}

MailError notLoaded(const QString& reason) {
    return MailError(
        MailError::Kind::Connection,
        QStringLiteral("No se pudo cargar la biblioteca de correo libcurl: %1").arg(reason));
}

template <class Function>
void resolve(QLibrary& library, Function& function, const char* name) {
    if (!resolveFunction(library, function, name)) throw notLoaded(library.errorString());
}

CurlLibrary load() {
    static QLibrary library;  // never unloaded: curl keeps global state
    if (const QString failure = loadFirstOf(library, libraryNames()); !failure.isEmpty())
        throw notLoaded(failure);
    CurlLibrary curl;
    resolve(library, curl.global_init, "curl_global_init");
    resolve(library, curl.easy_init, "curl_easy_init");
    resolve(library, curl.easy_cleanup, "curl_easy_cleanup");
    resolve(library, curl.easy_reset, "curl_easy_reset");
    resolve(library, curl.easy_setopt, "curl_easy_setopt");
    resolve(library, curl.easy_perform, "curl_easy_perform");
    resolve(library, curl.easy_strerror, "curl_easy_strerror");
    resolve(library, curl.slist_append, "curl_slist_append");
    resolve(library, curl.slist_free_all, "curl_slist_free_all");
    curl.global_init(CURL_GLOBAL_DEFAULT);
    return curl;
}

}  // namespace

const CurlLibrary& CurlLibrary::get() {
    // A failed load is tried again with the next message.
    static std::mutex mutex;
    static CurlLibrary loaded;
    const std::lock_guard lock(mutex);
    if (!loaded.easy_init) loaded = load();
    return loaded;
}

}  // namespace qev
