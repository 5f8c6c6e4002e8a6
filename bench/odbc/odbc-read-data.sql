-- Benchmark table: 1 000 000 rows of 8 columns (integers, short and long text, real, date text, NULLs).
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
CREATE TABLE t(
    id INTEGER PRIMARY KEY,
    n INTEGER,
    s VARCHAR(20),
    l TEXT,
    r REAL,
    d VARCHAR(10),
    z INTEGER,
    k VARCHAR(40)
);
WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 1000000)
INSERT INTO t
SELECT x,
       (x * 7919) % 100000,
       'name ' || x,
       hex(randomblob(40 + x % 60)),
       x / 7.0,
       date('2000-01-01', '+' || (x % 9000) || ' days'),
       CASE WHEN x % 3 = 0 THEN NULL ELSE x END,
       CASE WHEN x % 5 = 0 THEN NULL ELSE 'key ' || (x % 1000) END
FROM c;
