#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "expected.hpp"

#include "pairs/pairfile.hpp"

using drelvan::readPairs;

TEST_CASE("smoke")
{
    const auto file = readPairs(u"Думи.csv", "Едно,Две\r\nа,б\r\n");
    REQUIRE_MESSAGE(file, utf8(file.error));
    CHECK(file.exercise->pairs.size() == 1);
}
