#include "ScriptGenerator.h"

#include <random>

CString ScriptGenerator::Generate(size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    auto number = [&](int limit) { return std::to_string(random() % unsigned(limit)); };
    CString script;
    script.reserve(bytes + 1024);
    while (script.size() < bytes) {
        switch (random() % 8) {
        case 0:
            script += "SELECT o.id, o.total, c.name, COUNT(l.id) AS lines\r\n"
                      "  FROM orders o JOIN customers c ON c.id = o.customer_id\r\n"
                      "  LEFT JOIN order_lines l ON l.order_id = o.id\r\n"
                      " WHERE o.total > " +
                      number(1000) +
                      " AND c.region IN (SELECT r.id FROM regions r WHERE r.name LIKE 'N%')\r\n"
                      " GROUP BY o.id, o.total, c.name\r\n ORDER BY o.total DESC;\r\n\r\n";
            break;
        case 1:
            script += "INSERT INTO orders (id, customer_id, total, note)\r\n    VALUES (" + number(1000000) +
                      ", " + number(5000) + ", " + number(100000) +
                      ".50, 'it''s a note, with (comma); and a semicolon');\r\n";
            break;
        case 2:
            script += "UPDATE customers SET name = 'Customer " + number(100000) +
                      "', updated = CURRENT_TIMESTAMP, visits = visits + 1\r\n WHERE id = " + number(100000) +
                      ";\r\n";
            break;
        case 3:
            script += "-- monthly clean-up of order " + number(1000000) + "\r\n";
            break;
        case 4:
            script += "/* Report section " + number(100) +
                      "\r\n   totals per customer; see the wiki for details */\r\n";
            break;
        case 5:
            script +=
                "DELETE FROM audit_log WHERE created < '2020-01-" + number(28) + "' AND kind <> 'keep';\r\n";
            break;
        case 6:
            script += "SELECT customer_id, SUM(total) FROM orders\r\n WHERE placed >= '2024-01-01'\r\n"
                      " GROUP BY customer_id HAVING SUM(total) > " +
                      number(10000) + "\r\n ORDER BY 2 DESC;\r\n";
            break;
        default:
            script += "INSERT INTO archive (id, payload) SELECT id, payload FROM orders o\r\n"
                      " WHERE o.id IN (SELECT order_id FROM order_lines WHERE qty > " +
                      number(50) + ");\r\n";
            break;
        }
    }
    return script;
}
