#include "app/store_choice.h"

#include "results/results_store.h"
#include "results/spool_push.h"

#include <exception>

namespace xkv {

std::optional<std::string> server_refusal(const std::string& uri) {
    if (!is_server_location(uri))
        return "a server's address starts with \"postgresql://\" or \"postgres://\", not \"" + uri +
               "\": a file is chosen with Select DataBase";
    try {
        open_results_store(uri);
        return std::nullopt;
    } catch (const std::exception& e) {
        return std::string(e.what()) + ": the database in use is kept";
    }
}

std::string database_panel_text(const std::string& location) { return " DataBase : " + store_shown(location); }

} // namespace xkv
