#include "import/Z3950Client.h"

#include "browse/CellMarkup.h"
#include "text/CpLiteral.h"

#include <algorithm>

namespace velt {

namespace {

constexpr int kUniversal = 0;
constexpr int kContext = 2;

std::string Prim(std::uint32_t tag, std::string_view content) {
    return Codec::EncodeElement(kContext, false, content, tag);
}
std::string Cons(std::uint32_t tag, std::string_view content) {
    return Codec::EncodeElement(kContext, true, content, tag);
}
std::string Int(std::uint32_t tag, std::uint32_t n) { return Prim(tag, Codec::EncodeInteger(n)); }

const char kResultSetName[] = "default";
const char kBib1[] = "1.2.840.10003.3.1";

// A constructed element directly holding an INTEGER: the DefaultDiagnosticFormat.
const DataElement* FindDefaultFormat(const DataElement& e, int depth) {
    if (!e.constructed || depth > 8) return nullptr;
    for (const auto& c : e.children)
        if (c.cls == kUniversal && c.tag == 2 && !c.constructed) return &e;
    for (const auto& c : e.children)
        if (const DataElement* d = FindDefaultFormat(c, depth + 1)) return d;
    return nullptr;
}

// The diagnostic of a response that has no records: nonSurrogateDiagnostic
// [130] or the first of multipleNonSurDiagnostics [205].
std::string ResponseDiagnostic(const DataElement& apdu) {
    if (const DataElement* d = apdu.Child(130)) return DiagnosticText(*d);
    if (const DataElement* d = apdu.Child(205)) return DiagnosticText(*d);
    return {};
}

}  // namespace

std::string Z3950Client::TextBroken() { return "Przerwane połączenie"_cp; }
std::string Z3950Client::TextBadStructure() { return "Błędna struktura odpowiedzi"_cp; }

std::string DiagnosticText(const DataElement& diagnostic) {
    const DataElement* d = FindDefaultFormat(diagnostic, 0);
    if (!d) return {};
    std::string text = "diagnostyka"_cp;
    for (const auto& c : d->children) {
        if (c.cls != kUniversal || c.constructed) continue;
        if (c.tag == 2) {
            const auto n = Codec::DecodeInteger(c.content);
            if (n) text += " " + std::to_string(*n);
        }
    }
    for (const auto& c : d->children)
        // VisibleString (version 2) or GeneralString (version 3).
        if (c.cls == kUniversal && (c.tag == 26 || c.tag == 27) && !c.Octets().empty()) {
            text += ": " + c.Octets();
            break;
        }
    return text;
}

Z3950Client::Z3950Client(std::function<void(const std::string&)> message) : mMessage(std::move(message)) {}

void Z3950Client::SetDisplay(MarcOptions options, MarcFormatter formatter) {
    mMarcOptions = options;
    mFormatter = std::move(formatter);
}

void Z3950Client::Report(const std::string& text) {
    if (mMessage) mMessage(text);
}

std::unique_ptr<DataElement> Z3950Client::Exchange(const std::string& apdu, const std::string& logged) {
    if (!mSocket || mSocket->Failed()) return nullptr;
    mSocket->ResetBuffer();
    if (!mSocket->SendApdu(apdu, logged.empty() ? apdu : logged)) return nullptr;
    mSocket->ResetBuffer();
    auto response = mDecodec->DecodeElement(1);
    mSocket->ResetBuffer();
    return response;
}

bool Z3950Client::OpenAssociation(const std::string& host, int port, const std::string& password,
                                  const std::string& user) {
    mSocket = std::make_unique<SocketOfClient>();
    mSocket->SetLogFile(mLogFile);
    mSocket->SetReadTimeout(mReadTimeoutMs);
    mCodec = std::make_unique<Codec>(*mSocket);
    mDecodec = std::make_unique<Decodec>(*mSocket);
    mAccepted.reset();
    mError.clear();
    mInitialised = false;
    mRecords.clear();
    mResultCount = 0;
    mReported = false;
    if (!mSocket->Connect(host, port)) {
        mError = mSocket->ErrorText();
        return false;
    }
    std::string init = Prim(3, std::string("\x00\xE0", 2)) + Prim(4, std::string("\x00\xE9\xA2", 3)) +
                       Int(5, UniSocket::kBufferSize) + Int(6, UniSocket::kBufferSize);
    // The log gets the same Init with the password's octets masked (same
    // lengths, so the logged bytes still decode).
    std::string logged = init;
    if (!user.empty()) {
        // idAuthentication [7] holding the idPass SEQUENCE.
        std::string idPass = Prim(1, user), maskedPass = idPass;
        if (!password.empty()) {
            idPass += Prim(2, password);
            maskedPass += Prim(2, std::string(password.size(), '*'));
        }
        init += Cons(7, Codec::EncodeElement(kUniversal, true, idPass, 16));
        logged += Cons(7, Codec::EncodeElement(kUniversal, true, maskedPass, 16));
    }
    const std::string implementation = Prim(110, "81") + Prim(111, "TARLINEX-Software") + Prim(112, "VELT-2 v.07-2004");
    init += implementation;
    logged += implementation;
    const auto response = Exchange(Cons(20, init), Cons(20, logged));
    if (!response) {
        mError = mSocket->ErrorText();
        return false;
    }
    if (response->tag == 48) {
        // Some servers refuse an Init with a Close, its reason in [3].
        mError = "Serwer Z39.50 odmówił nawiązania połączenia"_cp;
        if (const DataElement* why = response->Child(3); why && !why->Octets().empty()) mError += " - " + why->Octets();
        return false;
    }
    const DataElement* result = response->Child(12);
    if (response->tag != 21 || !result) {
        mError = TextBadStructure();
        return false;
    }
    if (const DataElement* options = response->Child(4)) {
        const std::string bits = Codec::BitsOf(options->content);
        for (std::size_t bit = 0; bit < bits.size() && bit <= 14; ++bit) {
            if (bit == 9 || bits[bit] != '1') continue;
            mAccepted.set(bit < 9 ? bit : bit - 1);
        }
    }
    if (result->content.empty() || result->content[0] == '\0') {
        mError = "Serwer Z39.50 odmówił nawiązania połączenia"_cp;
        const std::string diag = DiagnosticText(*response);
        if (!diag.empty()) mError += " - " + diag;
        mAccepted.reset();
        return false;
    }
    mInitialised = true;
    return true;
}

std::string Z3950Client::SendSearch(const std::string& database, const std::string& rpn, int before, int after,
                                    const std::string& recordSyntax) {
    mRecords.clear();
    mResultCount = 0;
    mPresents = 0;
    mReported = false;
    if (!Usable()) return TextBroken();
    if (Codec::EncodeOid(recordSyntax).empty()) return "Błędny identyfikator składni rekordu: "_cp + recordSyntax;
    const std::string query =
        Cons(21, Cons(1, Codec::EncodeElement(kUniversal, false, Codec::EncodeOid(kBib1), 6) + rpn));
    const std::string search = Prim(13, std::string(1, '\0')) + Prim(14, "\x01") + Prim(15, std::string(1, '\0')) +
                               Prim(16, "\x01") + Prim(17, kResultSetName) + Cons(18, Prim(105, database)) +
                               Prim(104, Codec::EncodeOid(kUsMarc)) + query;
    const auto response = Exchange(Cons(22, search));
    if (!response) {
        mError = mSocket->ErrorText();
        return TextBroken();
    }
    const DataElement* count = response->Child(23);
    const auto n = count ? Codec::DecodeInteger(count->content) : std::nullopt;
    if (response->tag != 23 || !n) return TextBadStructure();
    const long returned = response->IndexOf(24);
    const DataElement* status = response->Child(22, returned < 0 ? 0 : static_cast<std::size_t>(returned));
    mResultCount = *n;
    mBefore = std::max(0, before);
    mAfter = std::max(0, after);
    mRecordSyntax = recordSyntax;
    if (status && !status->content.empty() && status->content[0] != '\0') return {};
    mResultCount = 0;
    std::string text = "Błąd"_cp;
    const std::string diag = ResponseDiagnostic(*response);
    if (!diag.empty()) text += " - " + diag;
    return text;
}

void Z3950Client::FetchRecords(long long a, long long b) {
    if (!Usable()) {
        if (mSocket && !mReported) {
            mReported = true;
            mError = mSocket->ErrorText();
            Report(TextBroken());
        }
        return;
    }
    if (a < 1) {
        b = b + a - 1;
        a = 1;
    }
    if (a + b - 1 > mResultCount) b = mResultCount - a + 1;
    while (b > 0 && mRecords.count(a)) ++a, --b;
    while (b > 0 && mRecords.count(a + b - 1)) --b;
    if (b <= 0) return;
    const std::string present = Prim(31, kResultSetName) + Int(30, static_cast<std::uint32_t>(a)) +
                                Int(29, static_cast<std::uint32_t>(b)) + Cons(19, Prim(0, "F")) +
                                Prim(104, Codec::EncodeOid(mRecordSyntax));
    ++mPresents;
    const auto response = Exchange(Cons(24, present));
    if (!response) {
        mReported = true;
        mError = mSocket->ErrorText();
        Report(TextBroken());
        return;
    }
    const long returned = response->IndexOf(24);
    const DataElement* records =
        response->tag == 25 ? response->Child(28, returned < 0 ? 0 : static_cast<std::size_t>(returned)) : nullptr;
    const bool none = records && std::none_of(records->children.begin(), records->children.end(),
                                              [](const DataElement& npr) { return npr.tag == 16; });
    if (!records || none) {
        // Held as the answer for these positions, so they are not asked for again.
        const std::string diag = response->tag == 25 ? ResponseDiagnostic(*response) : std::string();
        const std::string text = diag.empty() ? TextBadStructure() : "Błąd"_cp + " - " + diag;
        for (long long p = a; p < a + b; ++p) mRecords[p] = {Z3950Record::Kind::Diagnostic, text};
        Report(text);
        return;
    }
    long long position = a;
    for (const DataElement& npr : records->children) {
        if (npr.tag != 16) continue;
        // Surplus records beyond what was asked (or the result count) are ignored.
        if (position >= a + b || position > mResultCount) break;
        Z3950Record entry{Z3950Record::Kind::Placeholder, "00000"};
        if (const DataElement* record = npr.Child(1)) {
            if (const DataElement* retrieval = record->Child(1)) {
                const DataElement* external = retrieval->Child(8);
                const DataElement* octets = external ? external->Child(1) : nullptr;
                if (octets) entry = {Z3950Record::Kind::Record, octets->Octets()};
            } else if (const DataElement* surrogate = record->Child(2)) {
                const std::string diag = DiagnosticText(*surrogate);
                entry = {Z3950Record::Kind::Diagnostic, "Błąd"_cp + (diag.empty() ? "" : " - " + diag)};
            }
        }
        mRecords[position++] = std::move(entry);
    }
}

const Z3950Record* Z3950Client::RecordAt(long long position) const {
    const auto it = mRecords.find(position);
    return it == mRecords.end() ? nullptr : &it->second;
}

std::string Z3950Client::ScanTerms(const std::string& database, const std::string& attributesPlusTerm, int count,
                                   std::vector<ScanTerm>& terms) {
    terms.clear();
    mScanStatus = -1;
    if (!Usable()) return TextBroken();
    const std::string scan = Cons(3, Prim(105, database)) + attributesPlusTerm +
                             Int(6, static_cast<std::uint32_t>(std::max(0, count))) + Int(7, 2);
    const auto response = Exchange(Cons(35, scan));
    if (!response) {
        mError = mSocket->ErrorText();
        return TextBroken();
    }
    const DataElement* statusElement = response->Child(4);
    const auto status = statusElement ? Codec::DecodeInteger(statusElement->content) : std::nullopt;
    if (response->tag != 36 || !status) return TextBadStructure();
    mScanStatus = static_cast<int>(std::min<std::uint32_t>(*status, 1000));
    std::vector<ScanTerm> found;
    std::string diag;
    if (const DataElement* list = response->Child(7)) {
        if (const DataElement* entries = list->Child(1)) {
            for (const DataElement& entry : entries->children) {
                if (entry.tag == 1 && entry.constructed && !entry.children.empty() &&
                    entry.children.front().tag == 45) {
                    ScanTerm t{entry.children.front().Octets(), -1};
                    if (const DataElement* occurrences = entry.Child(2, 1))
                        if (const auto n = Codec::DecodeInteger(occurrences->content)) t.count = *n;
                    found.push_back(std::move(t));
                } else if (entry.tag == 2 && diag.empty()) {
                    diag = DiagnosticText(entry);
                }
            }
        }
        if (const DataElement* diagnostics = list->Child(2)) diag = DiagnosticText(*diagnostics);
    }
    // A partial list is still a list.
    if (*status <= 5 && (!found.empty() || *status == 0)) {
        terms = std::move(found);
        return {};
    }
    std::string text = *status <= 4   ? "Serwer Z39.50 nie pozwala na wyświetlenie listy haseł"_cp
                       : *status == 5 ? "Lista haseł spełniających krterium jest zbyt duża"_cp
                                      : "Wystąpił błąd"_cp;
    if (!diag.empty()) text += " - " + diag;
    return text;
}

long long Z3950Client::PositionOf(const std::string& key) const {
    if (key.empty() || key.size() > 18) return 0;
    long long n = 0;
    for (char c : key) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= mResultCount ? n : 0;
}

std::string Z3950Client::First() { return mResultCount > 0 ? "1" : ""; }

std::string Z3950Client::Last() { return mResultCount > 0 ? std::to_string(mResultCount) : ""; }

std::string Z3950Client::Next(const std::string& key) {
    const long long k = PositionOf(key);
    return k > 0 && k + 1 <= mResultCount ? std::to_string(k + 1) : "";
}

std::string Z3950Client::Prior(const std::string& key) {
    const long long k = PositionOf(key);
    return k >= 2 ? std::to_string(k - 1) : "";
}

std::optional<std::vector<std::string>> Z3950Client::Lines(const std::string& key) {
    const long long k = PositionOf(key);
    if (k == 0) return std::nullopt;
    if (!mRecords.count(k)) FetchRecords(k - mBefore, mBefore + mAfter + 1);
    const Z3950Record* r = RecordAt(k);
    if (!r) return std::nullopt;
    if (r->kind == Z3950Record::Kind::Diagnostic) return std::vector<std::string>{NeutraliseMarkup(r->octets)};
    return MarcDisplayLines(r->octets, mMarcOptions, mFormatter);
}

int Z3950Client::Action(const std::string&, const std::string&) { return 0; }

}  // namespace velt
