// Parses arbitrary bytes as an XML document (decoding included) and checks that the writer's
// code of any tree parses back to the same code, where the dialect allows it.
#include "data/XmlLoad.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The writer cannot express a value holding a double quote, nor an element without a name
// that has attributes (the first attribute would read as its name).
bool RoundTrips(const bw::TXMLNode& root) {
    std::vector<const bw::TXMLNode*> stack{&root};
    while (!stack.empty()) {
        const bw::TXMLNode* n = stack.back();
        stack.pop_back();
        if (n->Name().empty() && n->FieldCount() > 0) return false;
        for (int i = 0; i < n->FieldCount(); ++i)
            if (n->GetField(i)->Value.find('"') != std::string::npos) return false;
        for (int i = 0; i < n->ChildCount(); ++i) stack.push_back(n->GetChild(i));
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto tree = bw::XMLFromBytes(data, size);
    if (!tree) return 0;
    const std::string code = tree->GetCode();
    if (!RoundTrips(*tree)) return 0;
    const auto again = bw::XMLFromText(code);
    if (!again || again->GetCode() != code) {
        std::fprintf(stderr, "written code does not parse back the same\n");
        std::abort();
    }
    return 0;
}
