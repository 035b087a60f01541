#include "json_report.h"

namespace koa::tool {

Json ToJson(const TString& text) {
    return std::string(text.CStr(), text.Length());
}

Json ToJson(const ErrorCluster& err) {
    return Json{{"status", err.Status()},
                {"code", err.Code()},
                {"source", ToJson(err.Source())},
                {"fatal", err.FatalCode()}};
}

Json ToJson(const CallResults& results) {
    Json calls = Json::array();
    for (const CallResult& result : results)
        calls.push_back(Json{{"call", result.call}, {"returned", ToJson(result.text)}});
    return calls;
}

void PrintJson(const Json& document, std::ostream& out) {
    out << document.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

} // namespace koa::tool
