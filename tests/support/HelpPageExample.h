// The help page's worked examples as tests read them: the text of its
// <pre id="..."> blocks, so that the page and the program cannot drift apart.
#pragma once

#include <string>

#include "tests/support/TestTempDir.h"

// The help page of the source tree.
inline std::string HelpPageText() {
    return ReadBytes(std::string(TERRAX_TEST_DATA) + "/../../res/help/坐标转换问题.htm");
}

// The text of the block <pre id="ID"> of `page`; empty when there is none.
inline std::string HelpPageBlock(const std::string& page, const std::string& id) {
    const std::string open = "<pre id=\"" + id + "\">";
    const std::size_t at = page.find(open);
    if (at == std::string::npos) return {};
    const std::size_t begin = at + open.size();
    return page.substr(begin, page.find("</pre>", begin) - begin);
}
