#pragma once

#include <curl/curl.h>

namespace qev {

// The libcurl functions the SMTP client calls, taken from libcurl when the
// first message is sent: a run that sends no mail does not load libcurl and
// the TLS, Kerberos and LDAP libraries behind it (several megabytes).
struct CurlLibrary {
    decltype(&curl_global_init) global_init = nullptr;
    decltype(&curl_easy_init) easy_init = nullptr;
    decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&curl_easy_reset) easy_reset = nullptr;
    decltype(&curl_easy_setopt) easy_setopt = nullptr;
    decltype(&curl_easy_perform) easy_perform = nullptr;
    decltype(&curl_easy_strerror) easy_strerror = nullptr;
    decltype(&curl_slist_append) slist_append = nullptr;
    decltype(&curl_slist_free_all) slist_free_all = nullptr;

    // Loaded and initialized once for the process; throws MailError when
    // libcurl is missing or lacks a function.
    static const CurlLibrary& get();
};

}  // namespace qev
