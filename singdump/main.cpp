// singdump: loads SING32.DLL as the agent does, runs every registered
// gatherer through Init, Update, GetDataBufLen and FillDataBuf, checks each
// buffer's header and prints the buffer decoded field by field.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "decode/DmiBag.h"
#include "decode/Node.h"
#include "client/RegistryStandIn.h"
#include "client/SingClient.h"
#include "client/WholeFile.h"
#include "dmi/DmiLocate.h"
#include "platform/Handles.h"

namespace {

struct Options {
    bool json = false;
    bool hex = false;
    std::string gatherer;  // name or index; empty for all
    std::string dll;       // path of SING32.DLL; empty for the tool's folder
    std::string save;      // folder for the raw buffers; empty for none
    bool dmi = false;      // run SING_FillDMIInfo(dmiIndex) and report the bag file
    uint32_t dmiIndex = 0;
    std::vector<std::string> registry;  // export files read instead of the machine's registry
};

void Usage() {
    std::fputs(
        "usage: singdump [--json] [--hex] [--gatherer NAME|INDEX] [--dll PATH] [--save DIR]\n"
        "                [--registry FILE...] [-- HOST-OPTIONS...]\n"
        "       singdump [--json] [--hex] [--dll PATH] [--registry FILE...] --dmi INDEX\n"
        "  Loads SING32.DLL (by default from singdump's folder), runs each\n"
        "  gatherer's Init, Update, GetDataBufLen and FillDataBuf, and prints\n"
        "  the data buffer decoded field by field.\n"
        "  --json      one JSON document on standard output\n"
        "  --hex       a hex dump of each buffer beside the decoding\n"
        "  --gatherer  only the gatherer with this name or index (or a unique\n"
        "              prefix of the name, in any case)\n"
        "  --dll       load the library from PATH\n"
        "  --save      write each buffer to DIR as INDEX-NAME.bin (for singdecode)\n"
        "  --dmi       run SING_FillDMIInfo for INDEX, then show where the DMI\n"
        "              bag file is and what its header and index hold\n"
        "  --registry  read HKEY_LOCAL_MACHINE from these registry export files\n"
        "              (regedit or reg export) instead of this machine's registry;\n"
        "              every argument up to the next option is a file\n"
        "  --          ends singdump's options: the words after it are left to the\n"
        "              library, which reads the host's options (/NDP:, @file) from\n"
        "              the command line\n",
        stderr);
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--") break;  // the rest is the host's, for the library
        else if (a == "--json") o.json = true;
        else if (a == "--hex") o.hex = true;
        else if (a == "--gatherer" && i + 1 < argc) o.gatherer = argv[++i];
        else if (a == "--dll" && i + 1 < argc) o.dll = argv[++i];
        else if (a == "--save" && i + 1 < argc) o.save = argv[++i];
        else if (a == "--registry" && i + 1 < argc) {
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0)
                o.registry.push_back(argv[++i]);
            if (o.registry.empty())
                return false;
        }
        else if (a == "--dmi" && i + 1 < argc) {
            char* end = nullptr;
            const char* v = argv[++i];
            unsigned long n = std::strtoul(v, &end, 10);
            if (end == v || *end != '\0' || n > 0xFFFFFFFFul)
                return false;
            o.dmi = true;
            o.dmiIndex = static_cast<uint32_t>(n);
        }
        else return false;
    }
    return true;
}

std::string ToolFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return ".";
        if (n < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::string p(path.data());
    size_t slash = p.find_last_of("\\/");
    return slash == std::string::npos ? "." : p.substr(0, slash);
}

using Slot = SingClient::GathererInfo;

bool SameFold(char a, char b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(a) == lower(b);
}

// The slots `wanted` names: all for an empty text, else the index, the exact
// name, or the one name it is a case-insensitive prefix of. Empty, with the
// reason in `error`, when it names none or several.
std::vector<Slot> Select(const std::vector<Slot>& slots, const std::string& wanted, std::string& error) {
    if (wanted.empty())
        return slots;
    char* end = nullptr;
    unsigned long v = std::strtoul(wanted.c_str(), &end, 10);
    bool number = end != wanted.c_str() && *end == '\0';
    std::vector<Slot> prefixed;
    for (const Slot& s : slots) {
        if ((number && v == s.index) || (s.named && wanted == s.name))
            return {s};
        if (s.named && s.name.size() >= wanted.size() &&
            std::equal(wanted.begin(), wanted.end(), s.name.begin(), SameFold))
            prefixed.push_back(s);
    }
    if (prefixed.size() == 1)
        return prefixed;
    auto list = [](const std::vector<Slot>& v) {
        std::string out;
        for (const Slot& s : v)
            out += (out.empty() ? "" : ", ") + std::to_string(s.index) + " \"" + s.name + "\"";
        return out;
    };
    error = prefixed.empty() ? "no gatherer matches '" + wanted + "'; registered: " + list(slots)
                             : "'" + wanted + "' is ambiguous: it starts " + list(prefixed);
    return {};
}

// "INDEX-NAME.bin", the name reduced to letters, digits, '-' and '_' (the
// library's text is not trusted as a file name) and cut to 64 characters.
std::string SaveName(const Slot& s) {
    std::string name;
    for (size_t i = 0; i < s.name.size() && name.size() < 64; ++i) {
        char c = s.name[i];
        name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
    }
    return std::to_string(s.index) + "-" + name + ".bin";
}

// Writes the buffer to `folder`\`file`, replacing an older one.
bool SaveBuffer(const std::string& folder, const std::string& file, const std::vector<uint8_t>& buf,
                std::string& error) {
    std::string path = folder + "\\" + file;
    ScopedHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!h || !WriteFile(h.Get(), buf.data(), static_cast<DWORD>(buf.size()), &written, nullptr) ||
        written != buf.size()) {
        error = "cannot write " + path + " (" + SystemErrorText(GetLastError()) + ")";
        return false;
    }
    return true;
}

// The raw bytes: one hex string in JSON, a dump (a group printed by
// PrintText) in text.
void AddHexDump(Node& into, const std::vector<uint8_t>& bytes, bool json) {
    if (json) {
        std::string flat;
        for (uint8_t b : bytes) {
            char h[3];
            std::snprintf(h, sizeof h, "%02X", b);
            flat += h;
        }
        into.AddText("hex", flat);
    } else {
        Node h = Node::Group("hex");  // printed as a dump, not as fields
        h.text = HexDump(bytes.data(), bytes.size());
        into.Add(std::move(h));
    }
}

// Runs one gatherer's cycle and describes it.
Node RunGatherer(const SingClient& api, const Slot& slot, const Options& o, bool& healthy) {
    const uint32_t index = slot.index;
    uint32_t packet = api.packetId(index);
    Node g = Node::Group("");
    g.AddNumber("index", index);
    if (slot.named) g.AddText("name", slot.name); else g.AddMissing("name");
    g.AddHex("packetId", packet);
    g.AddNumber("init", api.init(index));
    g.AddNumber("update", api.update(index, nullptr, 0));
    uint32_t len = api.getDataBufLen(index, nullptr, 0);
    g.AddNumber("dataBufLen", len);
    if (len == 0) {
        g.AddText("status", "no data buffer (length 0)");
        return g;
    }
    std::vector<uint8_t> buf(len);
    uint32_t filled = api.fillDataBuf(index, buf.data(), nullptr, 0);
    g.AddNumber("fill", filled);
    std::string error;
    if (!o.save.empty() && !SaveBuffer(o.save, SaveName(slot), buf, error)) {
        std::fprintf(stderr, "singdump: %s\n", error.c_str());
        healthy = false;
    }
    // The status and fields, as singdecode gives them for the same bytes.
    DecodeResult r = DescribeBuffer(buf.data(), buf.size(), packet);
    if (!r.ok)
        healthy = false;
    for (Node& c : r.fields.children)
        g.Add(std::move(c));
    if (o.hex)
        AddHexDump(g, buf, o.json);
    return g;
}

void PrintText(const Node& g) {
    std::string heading;
    for (const Node& c : g.children) {
        if (c.key == "hex" && c.kind == Node::Kind::Group) {
            std::fputs("  hex:\n", stdout);
            std::string dump = c.text;
            size_t start = 0;
            while (start < dump.size()) {
                size_t end = dump.find('\n', start);
                std::printf("    %s\n", dump.substr(start, end - start).c_str());
                start = end == std::string::npos ? dump.size() : end + 1;
            }
            continue;
        }
        std::fputs(RenderText(c, 1).c_str(), stdout);
    }
}

// --dmi: one SING_FillDMIInfo call, then the bag file as it is on disk.
int RunDmi(const SingClient& lib, const std::string& library, const Node& registry, const Options& o) {
    Node doc = Node::Group("");
    doc.AddText("library", library);
    doc.Add(Node(registry));
    doc.AddNumber("index", o.dmiIndex);
    const char* gatherer = lib.name(o.dmiIndex);
    if (gatherer) doc.AddText("gatherer", gatherer); else doc.AddMissing("gatherer");
    doc.AddNumber("fillDMIInfo", lib.fillDMIInfo(o.dmiIndex, 0, 0, 0));

    // The same rules the library followed, in this same process.
    char path[kDmiPathRoom];
    DmiPathSource source = LocateDmiBagFile(kDmiBagFileName, path);
    Node file = Node::Group("bagFile");
    file.AddText("location", DescribeDmiPathSource(source));
    int rc = 0;
    std::vector<uint8_t> bytes;
    if (source == DmiPathSource::None) {
        file.AddText("status", "no bag file is used");
        rc = 1;
    } else {
        file.AddText("path", path);
        char full[MAX_PATH];
        DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
        if (n > 0 && n < sizeof full)
            file.AddText("fullPath", full);
        std::string error;
        if (!ReadWholeFile(path, bytes, error)) {
            file.AddText("status", error);
            rc = 1;
        } else {
            DecodeResult r = DecodeBagFile(bytes.data(), bytes.size(), kDmiSignature);
            file.AddText("status", r.ok ? "ok" : "the library refuses this file: " + r.error);
            for (Node& c : r.fields.children)
                file.Add(std::move(c));
            if (!r.ok)
                rc = 3;
            if (o.hex)
                AddHexDump(file, bytes, o.json);
        }
    }
    if (o.json) {
        doc.Add(std::move(file));
        std::printf("%s\n", RenderJson(doc).c_str());
    } else {
        for (const Node& c : doc.children)
            std::fputs(RenderText(c, 0).c_str(), stdout);
        std::puts("bagFile:");
        PrintText(file);
    }
    return rc;
}

// Where the registry facts come from: this machine, or the export files
// (with the control set read as CurrentControlSet). The network cards and
// the IPX transport are always this machine's: only its devices answer.
Node RegistrySource(const std::vector<std::string>& files, const std::string& controlSet) {
    Node source = Node::Group("registry");
    if (files.empty()) {
        source.AddText("source", "this machine");
        return source;
    }
    source.AddText("source", "registry export files, not this machine's registry");
    source.AddText("devices", "network cards and IPX are this machine's: only its devices answer");
    Node list = Node::List("files");
    for (const std::string& f : files)
        list.AddText("", f);
    source.Add(std::move(list));
    if (controlSet.empty()) source.AddMissing("controlSet"); else source.AddText("controlSet", controlSet);
    return source;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        Usage();
        return 2;
    }
    std::string path = o.dll.empty() ? ToolFolder() + "\\SING32.DLL" : o.dll;
    std::string error, controlSet;
    // The stand-in is removed, and the client frees the library, on every way out.
    RegistryStandIn standIn;
    if (!o.registry.empty()) {
        bool loaded = standIn.Create(error) && standIn.LoadFiles(o.registry, error, &controlSet);
        if (loaded)
            standIn.KeepMachineNetworkCards();
        if (!loaded || !standIn.Redirect(error)) {
            std::fprintf(stderr, "singdump: %s\n", error.c_str());
            return 1;
        }
    }
    const Node source = RegistrySource(o.registry, controlSet);
    SingClient api;
    if (!api.Load(path, error)) {
        std::fprintf(stderr, "singdump: %s\n", error.c_str());
        return 1;
    }
    if (o.dmi)
        return RunDmi(api, path, source, o);

    uint32_t count = api.numGatherers();
    Node list = Node::List("gatherers");
    bool healthy = true;
    // A slot is in use when it answers a name or a packet id.
    std::vector<Slot> slots = api.Discover();
    std::vector<Slot> selected = Select(slots, o.gatherer, error);
    if (selected.empty() && !error.empty()) {
        std::fprintf(stderr, "singdump: %s\n", error.c_str());
        return 1;
    }
    if (!o.save.empty() && !CreateDirectoryA(o.save.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        std::fprintf(stderr, "singdump: cannot create %s (%s)\n", o.save.c_str(), SystemErrorText(GetLastError()).c_str());
        return 1;
    }
    for (const Slot& s : selected) {
        list.Add(RunGatherer(api, s, o, healthy));
        api.close(s.index);
    }

    if (o.json) {
        Node doc = Node::Group("");
        doc.AddText("library", path);
        doc.Add(Node(source));
        doc.AddNumber("numGatherers", count);
        doc.Add(std::move(list));
        std::printf("%s\n", RenderJson(doc).c_str());
    } else {
        std::printf("Library: %s\n", path.c_str());
        std::fputs(RenderText(source, 0).c_str(), stdout);
        std::printf("Registered gatherers: %u\n", count);
        for (const Node& g : list.children) {
            const Node* name = nullptr;
            for (const Node& c : g.children)
                if (c.key == "name") name = &c;
            std::printf("\n[%llu] %s\n", static_cast<unsigned long long>(g.children[0].number),
                        name && name->kind == Node::Kind::Text ? name->text.c_str() : "(no name)");
            PrintText(g);
        }
    }
    return healthy ? 0 : 3;
}
