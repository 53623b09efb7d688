#include "text/dll_converter.h"

#include "text/CpLiteral.h"

#include <cstdlib>
#include <dlfcn.h>
#include <map>

namespace velt {

namespace {

// The memory a module receives through the host's alloc during one call.
// Every block is freed when the call's HostMemory ends, whatever the module
// did with it, and output is only read where it lies inside such blocks.
class HostMemory {
public:
    HostMemory() : mHost{VELT_CONVERTER_ABI, this, &HostMemory::Alloc, &HostMemory::Release} {}
    ~HostMemory() {
        for (auto& [block, size] : mBlocks) std::free(const_cast<char*>(block));
    }
    HostMemory(const HostMemory&) = delete;
    HostMemory& operator=(const HostMemory&) = delete;

    const velt_host* host() const { return &mHost; }

    // True when count items of size bytes at p lie inside one block (no bytes
    // at all need no block).
    bool Holds(const void* p, std::size_t count, std::size_t size) const {
        if (count == 0) return true;
        if (!p || size == 0 || count > SIZE_MAX / size) return false;
        const auto* at = static_cast<const char*>(p);
        auto it = mBlocks.upper_bound(at);
        if (it == mBlocks.begin()) return false;
        --it;
        const std::size_t offset = static_cast<std::size_t>(at - it->first);
        return offset <= it->second && count * size <= it->second - offset;
    }

private:
    // Modules convert catalogue records: far below this.
    static constexpr std::size_t kLimit = std::size_t{1} << 30;

    static void* Alloc(void* data, std::size_t size) {
        auto* self = static_cast<HostMemory*>(data);
        if (size > kLimit - self->mTotal) return nullptr;
        void* block = std::malloc(size ? size : 1);
        if (!block) return nullptr;
        self->mBlocks.emplace(static_cast<const char*>(block), size);
        self->mTotal += size;
        return block;
    }

    static void Release(void* data, void* block) {
        auto* self = static_cast<HostMemory*>(data);
        const auto it = self->mBlocks.find(static_cast<const char*>(block));
        if (it == self->mBlocks.end()) return;  // not ours: left alone
        self->mTotal -= it->second;
        self->mBlocks.erase(it);
        std::free(block);
    }

    velt_host mHost;
    std::map<const char*, std::size_t> mBlocks;
    std::size_t mTotal = 0;
};

void Report(void* data, const char* message) {
    if (message) (*static_cast<const ReportSink*>(data))(message);
}

velt_text Text(const std::string& s) { return {s.data(), s.size()}; }

// True when both are empty or the requested text shares a letter with the
// module's.
bool LettersMatch(const std::string& requested, const std::string& module) {
    if (requested.empty() || module.empty()) return requested.empty() && module.empty();
    return requested.find_first_of(module) != std::string::npos;
}

}  // namespace

dll_converter::dll_converter(void* handle, std::string from, std::string to, velt_translate_fn translate)
    : from(std::move(from)), to(std::move(to)), mHandle(handle), mTranslate(translate) {}

dll_converter::~dll_converter() {
    if (mHandle) ::dlclose(mHandle);
}

bool dll_converter::Translate(const std::vector<my_record>& in, std::vector<my_record>& out,
                              const ReportSink& report) const {
    out.clear();
    if (!mTranslate) return false;
    // The input as the module sees it: views of the records' own texts.
    std::vector<std::vector<velt_field>> fields(in.size());
    std::vector<velt_record> records(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        for (const my_field& f : in[i].fields())
            fields[i].push_back({Text(f.key), Text(f.value), f.readonly});
        records[i] = {Text(in[i].kind), fields[i].data(), fields[i].size()};
    }
    const velt_record_list input{records.data(), records.size()};
    velt_record_list output{nullptr, 0};
    HostMemory memory;
    if (mTranslate(&input, &output, &Report, const_cast<ReportSink*>(&report), memory.host()) != 0) return false;

    auto bad = [&] {
        out.clear();
        report("Moduł konwertera zwrócił rekordy spoza pamięci przydzielonej przez program"_cp);
        return false;
    };
    auto text = [](const velt_text& t) { return std::string(t.length ? t.bytes : "", t.length); };
    if (!memory.Holds(output.records, output.count, sizeof(velt_record))) return bad();
    out.reserve(output.count);
    for (std::size_t i = 0; i < output.count; ++i) {
        const velt_record& r = output.records[i];
        if (!memory.Holds(r.kind.bytes, r.kind.length, 1) ||
            !memory.Holds(r.fields, r.field_count, sizeof(velt_field)))
            return bad();
        my_record& record = out.emplace_back(text(r.kind));
        for (std::size_t k = 0; k < r.field_count; ++k) {
            const velt_field& f = r.fields[k];
            if (!memory.Holds(f.key.bytes, f.key.length, 1) || !memory.Holds(f.value.bytes, f.value.length, 1))
                return bad();
            record.AddField(text(f.key), text(f.value), f.readonly ? 1 : 0);
        }
    }
    return true;
}

void ConverterModules::Load(const std::vector<ConverterModuleSection>& sections, const std::string& configFile,
                            const ReportSink& startupError) {
    for (const ConverterModuleSection& s : sections) {
        if (s.dll.empty()) continue;
        void* handle = ::dlopen(s.dll.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            startupError("Brak modułu "_cp + s.dll);
            continue;
        }
        const auto initialize =
            reinterpret_cast<velt_initialize_fn>(::dlsym(handle, VELT_CONVERTER_INITIALIZE));
        const auto translate = reinterpret_cast<velt_translate_fn>(::dlsym(handle, VELT_CONVERTER_TRANSLATE));
        if (!initialize) {
            ::dlclose(handle);
            continue;
        }
        HostMemory memory;
        if (initialize(configFile.c_str(), s.section.c_str(), &Report, const_cast<ReportSink*>(&startupError),
                       memory.host()) != 0) {
            ::dlclose(handle);
            continue;
        }
        // Registered even without "translate"; FindConverterModule passes it by.
        mModules.push_back(std::make_unique<dll_converter>(handle, s.from, s.to, translate));
    }
}

const dll_converter* ConverterModules::FindConverterModule(const std::string& from, const std::string& to) const {
    for (const auto& m : mModules)
        if (m->CanTranslate() && LettersMatch(from, m->from) && LettersMatch(to, m->to)) return m.get();
    return nullptr;
}

}  // namespace velt
