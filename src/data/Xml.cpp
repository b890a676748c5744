#include "data/Xml.h"

#include "data/AsciiText.h"
#include "data/KilnArchive.h"
#include "data/XmlEncoding.h"

#include <fstream>
#include <ostream>
#include <stdexcept>

namespace bw {

namespace {

// Emits the code of a subtree through Sink (Text(string_view), Spaces(count)) without
// recursion.
template <class Sink> void EmitCode(const TXMLNode& root, Sink& sink) {
    struct XmlFrame {
        const TXMLNode* Node;
        int Next; // -1 before the start tag, then the next child to emit
    };
    std::vector<XmlFrame> stack{{&root, -1}};
    while (!stack.empty()) {
        XmlFrame& f = stack.back();
        const std::size_t level = stack.size() - 1;
        const TXMLNode& n = *f.Node;
        if (f.Next < 0) {
            sink.Spaces(level);
            sink.Text("<");
            sink.Text(n.Name());
            if (n.FieldCount() > 0) {
                for (int i = 0; i < n.FieldCount(); ++i) {
                    const TXMLNodeField* field = n.GetField(i);
                    sink.Text(" ");
                    sink.Text(field->Name);
                    sink.Text("=\"");
                    sink.Text(field->Value);
                    sink.Text("\"");
                }
            }
            if (n.ChildCount() == 0) {
                sink.Text(" />\r\n");
                stack.pop_back();
                continue;
            }
            sink.Text(">\r\n");
            f.Next = 0;
        }
        if (f.Next < n.ChildCount()) {
            const TXMLNode* child = n.GetChild(f.Next++);
            stack.push_back({child, -1});
            continue;
        }
        sink.Spaces(level);
        sink.Text("</");
        sink.Text(n.Name());
        sink.Text(">\r\n");
        stack.pop_back();
    }
}

struct StringSink {
    std::string& Out;
    void Text(std::string_view s) { Out.append(s); }
    void Spaces(std::size_t n) { Out.append(n, ' '); }
};

struct StreamSink {
    std::ostream& Out;
    std::string Buffer;
    void Flush() {
        Out.write(Buffer.data(), static_cast<std::streamsize>(Buffer.size()));
        Buffer.clear();
    }
    void Text(std::string_view s) {
        Buffer.append(s);
        if (Buffer.size() >= 64 * 1024) Flush();
    }
    void Spaces(std::size_t n) {
        while (n > 0) {
            const std::size_t k = n < 4096 ? n : 4096;
            Buffer.append(k, ' ');
            n -= k;
            if (Buffer.size() >= 64 * 1024) Flush();
        }
    }
};

// The bytes written by the save operations.
std::string SavedBytes(const TXMLNode& node) {
    return EncodeTextForSave(NormaliseLineBreaks(node.GetCode()));
}

} // namespace

bool TXMLNodeEnumerator::MoveNext() {
    if (!FNode || Index >= FNode->ChildCount() - 1) return false;
    ++Index;
    return true;
}

TXMLNode* TXMLNodeEnumerator::Current() const {
    return FNode ? FNode->GetChild(Index) : nullptr;
}

TXMLNode::TXMLNode(std::string_view name) : FName(name) {}

TXMLNode::~TXMLNode() {
    std::vector<std::unique_ptr<TXMLNode>> pending = std::move(Nodes);
    while (!pending.empty()) {
        std::unique_ptr<TXMLNode> n = std::move(pending.back());
        pending.pop_back();
        for (auto& c : n->Nodes) pending.push_back(std::move(c));
        n->Nodes.clear(); // n now dies without children to recurse into
    }
}

TXMLNode* TXMLNode::AddChild(std::string_view name) {
    Nodes.push_back(std::make_unique<TXMLNode>(name));
    return Nodes.back().get();
}

TXMLNodeField& TXMLNode::AddField(std::string_view name, std::string_view value) {
    Fields.push_back(TXMLNodeField{std::string(name), std::string(value)});
    return Fields.back();
}

int TXMLNode::FindChildByName(std::string_view name) const {
    for (std::size_t i = 0; i < Nodes.size(); ++i)
        if (AsciiSameText(Nodes[i]->FName, name)) return static_cast<int>(i);
    return -1;
}

int TXMLNode::FindFieldByName(std::string_view name) const {
    for (std::size_t i = 0; i < Fields.size(); ++i)
        if (AsciiSameText(Fields[i].Name, name)) return static_cast<int>(i);
    return -1;
}

TXMLNode* TXMLNode::GetChild(int index) {
    if (index < 0 || index >= ChildCount()) return nullptr;
    return Nodes[static_cast<std::size_t>(index)].get();
}

const TXMLNode* TXMLNode::GetChild(int index) const {
    return const_cast<TXMLNode*>(this)->GetChild(index);
}

TXMLNode* TXMLNode::GetChildNode(std::string_view name) {
    return GetChild(FindChildByName(name));
}

const TXMLNode* TXMLNode::GetChildNode(std::string_view name) const {
    return GetChild(FindChildByName(name));
}

TXMLNodeField* TXMLNode::GetField(int index) {
    if (index < 0 || index >= FieldCount()) return nullptr;
    return &Fields[static_cast<std::size_t>(index)];
}

const TXMLNodeField* TXMLNode::GetField(int index) const {
    return const_cast<TXMLNode*>(this)->GetField(index);
}

std::string TXMLNode::GetFieldValue(std::string_view name) const {
    const TXMLNodeField* f = GetField(FindFieldByName(name));
    return f ? f->Value : std::string();
}

void TXMLNode::SetFieldValue(std::string_view name, std::string_view value) {
    if (TXMLNodeField* f = GetField(FindFieldByName(name)))
        f->Value = std::string(value);
    else
        AddField(name, value);
}

std::string TXMLNode::GetCode() const {
    std::string out;
    StringSink sink{out};
    EmitCode(*this, sink);
    return out;
}

void TXMLNode::WriteCode(std::ostream& out) const {
    StreamSink sink{out, {}};
    EmitCode(*this, sink);
    sink.Flush();
}

void TXMLNode::SaveToFile(const std::string& fileName) const {
    const std::string bytes = SavedBytes(*this);
    std::ofstream f(fileName, std::ios::binary | std::ios::trunc);
    if (!f) throw std::runtime_error("cannot create \"" + fileName + "\"");
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) throw std::runtime_error("cannot write \"" + fileName + "\"");
}

bool TXMLNode::SaveToStream(std::ostream& out) const {
    const std::string bytes = SavedBytes(*this);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool TXMLNode::SaveToArchive(std::string_view key, TKilnArchive* archive) const {
    if (!archive) return false;
    const std::string bytes = SavedBytes(*this);
    return archive->WriteRecord(key, bytes.data(), bytes.size(), artFile, 0.0);
}

bool TXMLNode::SaveToArchive(std::string_view key, const std::string& archiveName) const {
    TKilnArchive archive;
    if (!archive.OpenFile(archiveName)) return false;
    return SaveToArchive(key, &archive);
}

} // namespace bw
