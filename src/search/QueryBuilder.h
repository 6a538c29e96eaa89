#pragma once

#include "search/ProxySettings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class EngineCatalog;
struct EngineDefinition;
class JobQueue;
class OptionsStore;
struct SearchJob;

// Turns a keyword and an engine definition into the request to make.
class QueryBuilder {
  public:
    // The longest keyword a request is built from; longer keywords are cut to it.
    static constexpr std::size_t kMaxKeywordLength = 254;
    // The page state of an engine whose trunpage is not a positive number: step 10, first
    // offset 1.
    static constexpr uint32_t kDefaultPageState = 266;

    // An engine file cannot hold colons or line breaks in its grammar, so it writes them as
    // "$COLON$", "$CRLF$", "$CR$" and "$LF$"; this turns them back, in that order.
    static std::string ExpandGrammar(std::string_view grm);

    // The keyword as a URL query text: letters, digits and "-" stay, a space becomes "+", every
    // other byte becomes "%" and its value in capital hexadecimal without leading zeros (so
    // byte 10 gives "%A").
    static std::string UrlEncode(std::string_view text);

    // UseProxy, ProxyServer and ProxyPort as the options hold them now.
    static ProxySettings ReadProxySettings(const OptionsStore& options);

    // Appends to queue one job per enabled engine of the catalogue's current category, in
    // catalogue order, each fetching that engine's first result page for keyword. Returns the
    // number of jobs appended. With chosen, the engines named in it are asked instead, whether
    // their files switch them on or not.
    //
    // A keyword longer than kMaxKeywordLength is cut first. An engine whose request does not
    // fit the job (the address in 254 characters, the POST body in 511) gets no job: a cut
    // request would ask the engine for something else. Its name is appended to skipped when
    // given. The proxy host and port are cut to their fields (63 and 7 characters); the
    // request itself goes out, and a cut proxy name shows up as a failed connection.
    static int BuildJobs(const EngineCatalog& catalog, std::string_view keyword,
                         const ProxySettings& proxy, JobQueue& queue,
                         std::vector<std::string>* skipped = nullptr,
                         const std::vector<std::string>* chosen = nullptr);

  private:
    // Fills job from engine for keyword (already cut to kMaxKeywordLength). False when the
    // request does not fit the job.
    static bool BuildJob(const EngineDefinition& engine, std::string_view keyword,
                         const ProxySettings& proxy, SearchJob& job);
    // The keyword with the engine's spellings of "+", "-", "|", "(" and ")" put in.
    static std::string TranslateOperators(std::string_view keyword, std::string_view opt);
    // The job's method code for the engine's method word.
    static uint32_t MethodCode(std::string_view method);
    // trunpage read as a decimal number, or kDefaultPageState when it is not positive.
    static uint32_t PageState(std::string_view trunpage);
};
