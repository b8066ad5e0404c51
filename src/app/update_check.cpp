#include "app/update_check.h"

#include "settings/value_text.h"

#include "settings/settings_files.h"

#include <curl/curl.h>

#include <memory>

namespace xkv {

namespace {

constexpr std::size_t max_body = 1u << 20;

struct curl_deleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct slist_deleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Collects the body; returning less than given makes libcurl fail the transfer.
std::size_t append_body(char* data, std::size_t size, std::size_t count, void* target) {
    auto& body = *static_cast<std::string*>(target);
    const std::size_t n = size * count;
    if (body.size() + n > max_body) return 0;
    body.append(data, n);
    return n;
}

} // namespace

std::string update_url(const _program_options& options, std::string_view path) {
    std::string host = trim_control(options.update_host).empty() ? default_update_host
                                                                 : std::string(trim_control(options.update_host));
    while (!host.empty() && host.back() == '/') host.pop_back();
    return host + std::string(path);
}

std::optional<std::string> http_get(const std::string& url, const http_timeouts& timeouts) {
    std::unique_ptr<CURL, curl_deleter> curl(curl_easy_init());
    if (!curl) return std::nullopt;
    CURL* h = curl.get();

    curl_slist* raw_headers = curl_slist_append(nullptr, "Accept: text/html, */*");
    std::unique_ptr<curl_slist, slist_deleter> headers(raw_headers);
    if (!headers) return std::nullopt;

    std::string body;
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)");
    curl_easy_setopt(h, CURLOPT_COOKIEFILE, ""); // cookie engine on, nothing read from disk
    curl_easy_setopt(h, CURLOPT_PROXY, "");      // no proxy, whatever the environment says
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeouts.connect_ms);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, timeouts.total_ms);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, append_body);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);

    if (curl_easy_perform(h) != CURLE_OK) return std::nullopt;
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status >= 300) return std::nullopt;
    return body;
}

void apply_version_reply(const std::optional<std::string>& reply, std::string_view own_version, diagnostic_log& log,
                         update_notice& notice) {
    if (!reply) return;
    log.append(*reply);
    if (trim_control(*reply) == trim_control(own_version)) {
        notice.visible = false;
        return;
    }
    notice.text = "NEW VERSION AVAILABLE - " + *reply + " !!!";
    notice.visible = true;
}

void check_for_update(const std::string& url, std::string_view own_version, diagnostic_log& log, update_notice& notice,
                      const http_timeouts& timeouts) {
    apply_version_reply(http_get(url, timeouts), own_version, log, notice);
}

bool toggle_auto_check(_program_options& options, const std::string& options_file) {
    const std::int32_t next = options.auto_check == 0 ? 1 : 0;
    write_ini_integer(options_file, "UPDATE", "auto", next);
    options.auto_check = next;
    return next == 1;
}

} // namespace xkv
