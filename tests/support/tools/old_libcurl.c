/* A libcurl.so.4 as one older than 7.85 behaves for what moravel-report asks of it: every call
   answers, but CURLOPT_PROTOCOLS_STR is an option it does not know. Nothing is ever sent. */
#define CURL_DISABLE_TYPECHECK /* the real functions, not the checking macros */
#include <curl/curl.h>
#include <stdlib.h>

CURLcode curl_global_init(long flags) { (void)flags; return CURLE_OK; }
void curl_global_cleanup(void) {}
CURL* curl_easy_init(void) { return (CURL*)malloc(1); }
void curl_easy_cleanup(CURL* handle) { free(handle); }

CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
    (void)handle;
    return option == CURLOPT_PROTOCOLS_STR ? CURLE_UNKNOWN_OPTION : CURLE_OK;
}

CURLcode curl_easy_perform(CURL* handle) { (void)handle; return CURLE_COULDNT_CONNECT; }
CURLcode curl_easy_getinfo(CURL* handle, CURLINFO info, ...) { (void)handle; (void)info; return CURLE_OK; }
const char* curl_easy_strerror(CURLcode code) { (void)code; return "old libcurl"; }
struct curl_slist* curl_slist_append(struct curl_slist* list, const char* text) { (void)text; return list; }
void curl_slist_free_all(struct curl_slist* list) { (void)list; }
