#pragma once

// Small trees written as text, for tests.

#include "models/ScanTree.h"

#include <cctype>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plenvo::test {

// A tree written as text: `name:size` is a file, `name(child,child...)` a folder; `#N` after a
// name gives the entry inode N, and `=N` after a file's size makes it one name of the file with
// inode N (hard links: sizes are written as a scan counts them, once). The root is "/name".
class TreeText {
public:
    static ScanTree parse(std::string_view text, std::uint64_t device = 1)
    {
        TreeText parser(text, device);
        ScanTree tree;
        tree.facts = parser.m_facts;
        tree.root = parser.node(true);
        parser.m_facts->edit(tree.root->id()) = {device, 0, 0, true};
        tree.rootPath = tree.root->pathBytes();
        tree.scanDate = 1700000000000;
        return tree;
    }

private:
    TreeText(std::string_view text, std::uint64_t device) : m_text(text), m_device(device) {}

    std::uint64_t number()
    {
        std::uint64_t value = 0;
        while (m_at < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_at])))
            value = value * 10 + std::uint64_t(m_text[m_at++] - '0');
        return value;
    }
    NodeRef node(bool isRoot)
    {
        const std::size_t end = m_text.find_first_of("#:(", m_at);
        const std::string name(m_text.substr(m_at, end - m_at));
        m_at = end;
        std::uint64_t inode = 0;
        if (m_text[m_at] == '#') {
            ++m_at;
            inode = number();
        }
        const std::string path = isRoot ? "/" + name : std::string();
        NodeRef made;
        if (m_text[m_at++] == ':') {
            const auto size = std::int64_t(number());
            made = FileNode::create(name, path, false, size, {}, {});
            if (m_at < m_text.size() && m_text[m_at] == '=') {
                ++m_at;
                inode = number();
                m_facts->edit(made->id()) = {m_device, inode, 2, true, true};
            }
        } else {
            std::vector<NodeRef> children;
            while (m_text[m_at] != ')') {
                children.push_back(node(false));
                if (m_text[m_at] == ',')
                    ++m_at;
            }
            ++m_at;
            made = FileNode::create(name, path, true, 0, {}, {}, std::move(children));
        }
        made->setInode(inode);
        return made;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::uint64_t m_device;
    std::shared_ptr<NodeFacts> m_facts = std::make_shared<NodeFacts>();
};

} // namespace plenvo::test
