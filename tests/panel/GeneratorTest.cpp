// The panel generator writes the same bytes on every run, and those are the bytes the build embeds.
#include "tests/panel/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

} // namespace

TEST(PanelGenerator, TwoRunsAreByteIdenticalAndEqualTheEmbeddedDocument) {
    char directory[] = "/tmp/zyk_panelgen_XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string first = std::string(directory) + "/first.xml",
                      second = std::string(directory) + "/second.xml";
    ASSERT_EQ(std::system((std::string(ZYK_PANELGEN) + " " + first).c_str()), 0);
    ASSERT_EQ(std::system((std::string(ZYK_PANELGEN) + " " + second).c_str()), 0);
    const std::string a = readFile(first), b = readFile(second);
    std::remove(first.c_str());
    std::remove(second.c_str());
    rmdir(directory);
    ASSERT_GT(a.size(), 1000000u);
    EXPECT_TRUE(a == b);
    const std::string embedded(reinterpret_cast<const char*>(k1editor::getData_uiXml()),
                               k1editor::getDataSize_uiXml());
    EXPECT_EQ(embedded.size(), a.size());
    EXPECT_TRUE(embedded == a);
}
