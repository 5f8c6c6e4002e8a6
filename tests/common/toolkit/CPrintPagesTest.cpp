#include "toolkit/CPrintPages.h"

#include <gtest/gtest.h>

namespace {
struct Case {
    const char* what;
    int pageCount, from, to, copies;
    bool collate, lastFirst;
    CArray<int> expected;
};

TEST(CPrintPages, RangeAndCopiesDecideThePagesPrinted) {
    const Case cases[] = {
        {"whole document", 4, 0, 0, 1, true, false, {0, 1, 2, 3}},
        {"a range inside", 5, 2, 3, 1, true, false, {1, 2}},
        {"a range running past the end", 3, 2, 9, 1, true, false, {1, 2}},
        {"a range wholly past the end", 3, 5, 7, 1, true, false, {}},
        {"from a page to the end", 4, 3, 0, 1, true, false, {2, 3}},
        {"two collated copies", 2, 0, 0, 2, true, false, {0, 1, 0, 1}},
        {"two copies, each page twice", 2, 0, 0, 2, false, false, {0, 0, 1, 1}},
        {"no copies asked counts as one", 2, 0, 0, 0, true, false, {0, 1}},
        {"last page first, two collated copies", 3, 2, 3, 2, true, true, {2, 1, 2, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected,
                  CPrintPages::Sequence(c.pageCount, c.from, c.to, c.copies, c.collate, c.lastFirst))
            << c.what;
}
} // namespace
