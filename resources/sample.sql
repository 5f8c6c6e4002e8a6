-- Varnel sample database: a small shop with customers, products, orders and their lines.
-- Each statement ends with a semicolon at the end of a line.
CREATE TABLE customers (
    customer_id INTEGER PRIMARY KEY,
    name        VARCHAR(80) NOT NULL,
    city        VARCHAR(40),
    country     VARCHAR(40) NOT NULL,
    email       VARCHAR(120),
    created     DATE NOT NULL
);
CREATE TABLE categories (
    category_id INTEGER PRIMARY KEY,
    title       VARCHAR(40) NOT NULL UNIQUE
);
CREATE TABLE products (
    product_id  INTEGER PRIMARY KEY,
    category_id INTEGER NOT NULL REFERENCES categories(category_id),
    name        VARCHAR(80) NOT NULL,
    price       NUMERIC(10,2) NOT NULL,
    in_stock    INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE orders (
    order_id    INTEGER PRIMARY KEY,
    customer_id INTEGER NOT NULL REFERENCES customers(customer_id),
    ordered     DATE NOT NULL,
    shipped     DATE,
    note        VARCHAR(200)
);
CREATE TABLE order_lines (
    order_id    INTEGER NOT NULL REFERENCES orders(order_id),
    line_no     INTEGER NOT NULL,
    product_id  INTEGER NOT NULL REFERENCES products(product_id),
    quantity    INTEGER NOT NULL,
    unit_price  NUMERIC(10,2) NOT NULL,
    PRIMARY KEY (order_id, line_no)
);
CREATE INDEX ix_orders_customer ON orders(customer_id);
CREATE INDEX ix_products_category ON products(category_id);
INSERT INTO categories (category_id, title) VALUES
    (1, 'Books'), (2, 'Music'), (3, 'Garden'), (4, 'Kitchen'), (5, 'Tools'), (6, 'Toys');
INSERT INTO customers (customer_id, name, city, country, email, created)
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)
SELECT i,
       (CASE i % 7 WHEN 0 THEN 'Anna' WHEN 1 THEN 'Boris' WHEN 2 THEN 'Chloe' WHEN 3 THEN 'Dmitri'
                   WHEN 4 THEN 'Elena' WHEN 5 THEN 'Farid' ELSE 'Greta' END) || ' ' ||
       (CASE i % 5 WHEN 0 THEN 'Novak' WHEN 1 THEN 'Larsen' WHEN 2 THEN 'Moreau' WHEN 3 THEN 'Ivanova'
                   ELSE 'Okafor' END),
       CASE i % 6 WHEN 0 THEN 'Oslo' WHEN 1 THEN 'Lyon' WHEN 2 THEN 'Riga' WHEN 3 THEN NULL
                  WHEN 4 THEN 'Porto' ELSE 'Graz' END,
       CASE i % 6 WHEN 0 THEN 'Norway' WHEN 1 THEN 'France' WHEN 2 THEN 'Latvia' WHEN 3 THEN 'Unknown'
                  WHEN 4 THEN 'Portugal' ELSE 'Austria' END,
       CASE WHEN i % 9 = 0 THEN NULL ELSE 'customer' || i || '@example.org' END,
       date('2020-01-01', '+' || (i * 3) || ' days')
FROM n;
INSERT INTO products (product_id, category_id, name, price, in_stock)
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 120)
SELECT i, 1 + i % 6, 'Product ' || i, round(2.5 + (i * 37 % 400) / 4.0, 2), (i * 13) % 90
FROM n;
INSERT INTO orders (order_id, customer_id, ordered, shipped, note)
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)
SELECT i, 1 + (i * 7) % 500, date('2022-01-01', '+' || (i / 3) || ' days'),
       CASE WHEN i % 10 = 0 THEN NULL ELSE date('2022-01-03', '+' || (i / 3) || ' days') END,
       CASE WHEN i % 25 = 0 THEN 'Gift wrap, please' ELSE NULL END
FROM n;
INSERT INTO order_lines (order_id, line_no, product_id, quantity, unit_price)
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 5999)
SELECT 1 + i / 3, 1 + i % 3, p.product_id, 1 + i % 4, p.price
FROM n JOIN products p ON p.product_id = 1 + (i * 11) % 120;
CREATE VIEW order_totals AS
SELECT o.order_id, c.name AS customer, o.ordered, SUM(l.quantity * l.unit_price) AS total
FROM orders o
JOIN customers c ON c.customer_id = o.customer_id
JOIN order_lines l ON l.order_id = o.order_id
GROUP BY o.order_id, c.name, o.ordered;
