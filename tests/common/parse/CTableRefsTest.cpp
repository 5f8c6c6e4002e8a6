#include "parse/CTableRefs.h"

#include <gtest/gtest.h>

namespace {
// Each reference as "owner.name alias", with "-" for an empty part.
CString Show(const CArray<CTableRefs::Ref>& refs) {
    CString out;
    for (const auto& r : refs) {
        out += out.empty() ? "" : ", ";
        out += (r.owner.empty() ? "" : r.owner + ".") + (r.name.empty() ? "-" : r.name) + " " +
               (r.alias.empty() ? "-" : r.alias);
    }
    return out;
}
} // namespace

TEST(CTableRefs, NamesAndAliasesOfEveryClause) {
    const struct {
        const char* statement;
        const char* refs;
    } cases[] = {
        {"select c. from customers c where c.id = 1", "customers c"},
        {"SELECT * FROM customers AS c JOIN orders o ON o.cust = c.id LEFT OUTER JOIN items ON 1=1",
         "customers c, orders o, items -"},
        {"select * from sales.orders o, items, \"Order Lines\" l where x",
         "sales.orders o, items -, Order Lines l"},
        {"select * from t1 natural join t2 order by 1", "t1 -, t2 -"},
        {"update accounts a set balance = 0 where a.id = 2", "accounts a"},
        {"insert into audit (who) values ('from x y')", "audit -"},
        {"delete from logs -- from comment c\n where 1=1", "logs -"},
        // A subquery's own tables count, its alias names nothing in the catalog.
        {"select * from (select id from inner_t it) sub, outer_t o", "inner_t it, - sub, outer_t o"},
        {"select * from generate_series(1, 3) g join t on true", "- g, t -"},
        {"select * from `back tick` b, [square] s", "back tick b, square s"},
        {"select a from", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.refs, Show(CTableRefs::Find(c.statement))) << c.statement;
}
