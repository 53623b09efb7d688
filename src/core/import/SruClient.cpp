#include "import/SruClient.h"

#include "browse/CellMarkup.h"
#include "import/Z3950Client.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <algorithm>

namespace velt {

namespace {

const HttpTexts& SruTexts() {
    static const HttpTexts texts{"Odpowiedź serwera SRU jest za duża"_cp,
                                 "Zła odpowiedź serwera SRU"_cp,
                                 "Serwer SRU odpowiedział: "_cp,
                                 "Odpowiedź serwera SRU nadeszła niepełna"_cp,
                                 "Pusta odpowiedź serwera SRU"_cp,
                                 "Przekroczono czas oczekiwania na odpowiedź serwera SRU"_cp};
    return texts;
}

std::string Win(const std::string& utf8) { return UtfWin().Convert(utf8); }

}  // namespace

std::string PercentEncode(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 15]);
        }
    }
    return out;
}

SruClient::SruClient(std::function<void(const std::string&)> message) : mMessage(std::move(message)) {}

void SruClient::SetServer(HttpAddress base, std::string version, std::string schema) {
    mBase = std::move(base);
    mVersion = version == "1.1" ? "1.1" : "1.2";
    mSchema = schema.empty() ? "marcxml" : std::move(schema);
}

std::string SruClient::SearchPath(const std::string& cql, long long start, long long count) const {
    return mBase.path + (mBase.path.find('?') == std::string::npos ? "?" : "&") + "version=" + mVersion +
           "&operation=searchRetrieve&query=" + PercentEncode(cql) + "&startRecord=" + std::to_string(start) +
           "&maximumRecords=" + std::to_string(count) + "&recordSchema=" + PercentEncode(mSchema) +
           "&recordPacking=xml";
}

std::string SruClient::ScanPath(const std::string& scanClause, int count) const {
    return mBase.path + (mBase.path.find('?') == std::string::npos ? "?" : "&") + "version=" + mVersion +
           "&operation=scan&scanClause=" + PercentEncode(scanClause) + "&responsePosition=1&maximumTerms=" +
           std::to_string(count);
}

std::optional<std::string> SruClient::Get(const std::string& path) {
    HttpAddress address = mBase;
    address.path = path;
    ++mRequests;
    HttpResponse r = HttpGet(address, kMaxAnswer, std::chrono::milliseconds(mTimeoutMs), SruTexts());
    if (!r.error.empty()) {
        mError = r.error;
        return std::nullopt;
    }
    return std::move(r.body);
}

std::string SruClient::TakeAnswer(const SruResponse& answer, long long start) {
    if (!answer.error.empty()) return answer.error;
    // Diagnostics without a count are the server's refusal of the query.
    if (answer.numberOfRecords < 0) {
        if (!answer.diagnostics.empty()) return "Serwer SRU odpowiedział: "_cp + Win(answer.diagnostics.front());
        return "Zła odpowiedź serwera SRU"_cp;
    }
    long long next = start;
    for (const SruRecord& r : answer.records) {
        const long long position = r.position > 0 ? r.position : next;
        next = position + 1;
        if (position < 1 || position > answer.numberOfRecords) continue;
        Z3950Record held;
        if (r.diagnostic) {
            held.kind = Z3950Record::Kind::Diagnostic;
            held.octets = Win(r.text);
        } else if (r.marc.leader.empty() && r.marc.fields.empty()) {
            held.kind = Z3950Record::Kind::Diagnostic;
            held.octets = "Serwer SRU nie przysłał rekordu MARC"_cp;
        } else if (const auto octets = WriteIso2709(r.marc, 'a')) {
            held.octets = *octets;
        } else {
            held.kind = Z3950Record::Kind::Diagnostic;
            held.octets = "Rekord MARC jest zbyt długi"_cp;
        }
        mRecords[position] = std::move(held);
    }
    return {};
}

std::string SruClient::Search(const std::string& cql) {
    mRecords.clear();
    mResultCount = 0;
    mRequests = 0;
    mReported = false;
    mError.clear();
    mQuery = cql;
    const auto body = Get(SearchPath(cql, 1, 2 * kWindow + 1));
    if (!body) return mError;
    const SruResponse answer = ReadSruResponse(*body);
    // The count comes first: the records are kept only at positions it holds.
    mResultCount = std::max(0LL, answer.numberOfRecords);
    std::string error = TakeAnswer(answer, 1);
    if (!error.empty()) {
        mRecords.clear();
        mResultCount = 0;
        mError = error;
    }
    return error;
}

void SruClient::FetchRecords(long long a, long long b) {
    if (mReported) return;
    if (a < 1) {
        b = b + a - 1;
        a = 1;
    }
    if (a + b - 1 > mResultCount) b = mResultCount - a + 1;
    while (b > 0 && mRecords.count(a)) ++a, --b;
    while (b > 0 && mRecords.count(a + b - 1)) --b;
    if (b <= 0) return;
    const auto body = Get(SearchPath(mQuery, a, b));
    std::string error;
    if (body) {
        SruResponse answer = ReadSruResponse(*body);
        // Later answers must not change the count the browser goes by.
        answer.numberOfRecords = answer.numberOfRecords < 0 ? answer.numberOfRecords : mResultCount;
        error = TakeAnswer(answer, a);
    } else {
        error = mError;
    }
    if (!error.empty()) {
        // Fetching on demand fails once; the browser goes on with what is held.
        mReported = true;
        mError = error;
        if (mMessage) mMessage(error);
    }
}

const Z3950Record* SruClient::RecordAt(long long position) const {
    const auto it = mRecords.find(position);
    return it == mRecords.end() ? nullptr : &it->second;
}

void SruClient::SetDisplay(MarcOptions options, MarcFormatter formatter) {
    // The records are UTF-8 whatever the window's presentation says.
    options.presentation = nullptr;
    mMarcOptions = options;
    mFormatter = std::move(formatter);
}

std::string SruClient::Scan(const std::string& scanClause, int count, std::vector<ScanTerm>& terms) {
    terms.clear();
    mError.clear();
    const auto body = Get(ScanPath(scanClause, std::clamp(count, 1, 1000)));
    if (!body) return mError;
    const SruResponse answer = ReadSruResponse(*body);
    if (!answer.error.empty()) return mError = answer.error;
    if (answer.terms.empty() && !answer.diagnostics.empty())
        return mError = "Serwer SRU odpowiedział: "_cp + Win(answer.diagnostics.front());
    for (const SruTerm& t : answer.terms) terms.push_back({t.value, t.count});
    return {};
}

long long SruClient::PositionOf(const std::string& key) const {
    if (key.empty() || key.size() > 18) return 0;
    long long n = 0;
    for (const char c : key) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= mResultCount ? n : 0;
}

std::string SruClient::First() { return mResultCount > 0 ? "1" : ""; }

std::string SruClient::Last() { return mResultCount > 0 ? std::to_string(mResultCount) : ""; }

std::string SruClient::Next(const std::string& key) {
    const long long k = PositionOf(key);
    return k > 0 && k + 1 <= mResultCount ? std::to_string(k + 1) : "";
}

std::string SruClient::Prior(const std::string& key) {
    const long long k = PositionOf(key);
    return k >= 2 ? std::to_string(k - 1) : "";
}

std::optional<std::vector<std::string>> SruClient::Lines(const std::string& key) {
    const long long k = PositionOf(key);
    if (k == 0) return std::nullopt;
    if (!mRecords.count(k)) FetchRecords(k - kWindow, 2 * kWindow + 1);
    const Z3950Record* r = RecordAt(k);
    if (!r) return std::nullopt;
    if (r->kind == Z3950Record::Kind::Diagnostic) return std::vector<std::string>{NeutraliseMarkup(r->octets)};
    return MarcDisplayLines(r->octets, mMarcOptions, mFormatter);
}

int SruClient::Action(const std::string&, const std::string&) { return 0; }

}  // namespace velt
