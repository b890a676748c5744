// The XML document model: a tree of elements with attributes. Character data is never stored.
// Names and values are UTF-8 text kept exactly as written (no entity decoding, no trimming).
// Lookups by name compare with ASCII-only case folding and return the first match in document
// order; duplicates are kept.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

class TKilnArchive;

struct TXMLNodeField {
    std::string Name;
    std::string Value;
};

class TXMLNode;

// Walks the children of one node; the child count is read at every step, so children
// appended during the walk are visited.
class TXMLNodeEnumerator {
public:
    explicit TXMLNodeEnumerator(TXMLNode* node) : FNode(node) {}
    bool MoveNext();
    TXMLNode* Current() const;

private:
    TXMLNode* FNode;
    int Index = -1;
};

class TXMLNode {
public:
    explicit TXMLNode(std::string_view name = {});
    // Destroys the subtree without recursion, so any depth is safe.
    ~TXMLNode();
    TXMLNode(const TXMLNode&) = delete;
    TXMLNode& operator=(const TXMLNode&) = delete;

    const std::string& Name() const { return FName; }
    int ChildCount() const { return static_cast<int>(Nodes.size()); }
    int FieldCount() const { return static_cast<int>(Fields.size()); }

    // Appends a child and returns it (owned by this node).
    TXMLNode* AddChild(std::string_view name);
    // Appends an attribute without checking for duplicates. The reference stays valid until
    // the next attribute is added to this node.
    TXMLNodeField& AddField(std::string_view name, std::string_view value);

    int FindChildByName(std::string_view name) const;
    int FindFieldByName(std::string_view name) const;

    // Null when the index is out of range or no child has the name.
    TXMLNode* GetChild(int index);
    const TXMLNode* GetChild(int index) const;
    TXMLNode* Child(int index) { return GetChild(index); }
    const TXMLNode* Child(int index) const { return GetChild(index); }
    TXMLNode* GetChildNode(std::string_view name);
    const TXMLNode* GetChildNode(std::string_view name) const;
    TXMLNode* ChildNode(std::string_view name) { return GetChildNode(name); }
    const TXMLNode* ChildNode(std::string_view name) const { return GetChildNode(name); }

    // The stored attribute, changeable in place; null when out of range.
    TXMLNodeField* GetField(int index);
    const TXMLNodeField* GetField(int index) const;
    TXMLNodeField* Field(int index) { return GetField(index); }
    const TXMLNodeField* Field(int index) const { return GetField(index); }

    // Value of the first attribute with the name; empty when there is none.
    std::string GetFieldValue(std::string_view name) const;
    std::string FieldValue(std::string_view name) const { return GetFieldValue(name); }
    // Replaces the first attribute's value, or appends the attribute.
    void SetFieldValue(std::string_view name, std::string_view value);

    // The serialised subtree: one space of indent per level, CR LF line ends, values verbatim.
    std::string GetCode() const;
    // Streams the same text without building it in memory.
    void WriteCode(std::ostream& out) const;

    // Writes the code in Windows-1252 when it can hold every character, otherwise in UTF-8
    // with a byte-order mark. Throws std::runtime_error when the file cannot be written.
    void SaveToFile(const std::string& fileName) const;
    // The same bytes at the stream's position; false when writing failed.
    bool SaveToStream(std::ostream& out) const;
    // The same bytes as one artFile record dated now; false for a null archive or a failed
    // write.
    bool SaveToArchive(std::string_view key, TKilnArchive* archive) const;
    // Opens the archive file for update and writes the record.
    bool SaveToArchive(std::string_view key, const std::string& archiveName) const;

    TXMLNodeEnumerator GetEnumerator() { return TXMLNodeEnumerator(this); }

    // Range-for over the children, re-reading the child count at each step.
    template <class Node> class ChildIterator {
    public:
        struct End {};
        ChildIterator(Node* node, int index) : FNode(node), FIndex(index) {}
        Node& operator*() const { return *FNode->GetChild(FIndex); }
        ChildIterator& operator++() {
            ++FIndex;
            return *this;
        }
        bool operator!=(End) const { return FIndex < FNode->ChildCount(); }

    private:
        Node* FNode;
        int FIndex;
    };
    ChildIterator<TXMLNode> begin() { return {this, 0}; }
    ChildIterator<TXMLNode>::End end() { return {}; }
    ChildIterator<const TXMLNode> begin() const { return {this, 0}; }
    ChildIterator<const TXMLNode>::End end() const { return {}; }

private:
    std::string FName;
    std::vector<std::unique_ptr<TXMLNode>> Nodes;
    std::vector<TXMLNodeField> Fields;
};

} // namespace bw
