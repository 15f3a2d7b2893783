-- The SAMPLE database of the embedded engine: a small company schema (departments, employees,
-- salary grades, bonuses), the engine's user table and 100,000 generated orders.
-- Column types carry Oracle's names; dates are stored as text 'YYYY-MM-DD HH:MM:SS'. Columns carry the
-- checks the engine gives the tables it creates: character columns their size (a CHECK named
-- "ORA-12899 TABLE COLUMN SIZE"), DATE columns the storage text of a real date ("ORA-01861 TABLE COLUMN"),
-- NUMBER columns numbers only ("ORA-01722 TABLE COLUMN"), so a wrong value fails as in Oracle instead of
-- being stored where it would break every later fetch. Primary keys are NOT NULL as in Oracle (SQLite
-- alone accepts NULL in a key that is not an INTEGER PRIMARY KEY).

PRAGMA journal_mode = DELETE;
BEGIN;

-- Users allowed to log on. PASSWORD is compared case-sensitively, USERNAME case-insensitively;
-- CAN_SYSDBA / CAN_SYSOPER = 1 allow the privileged connect modes.
CREATE TABLE TARVOLO_USERS (
    USERNAME    VARCHAR2(128) PRIMARY KEY NOT NULL,
    PASSWORD    VARCHAR2(128) NOT NULL,
    CAN_SYSDBA  NUMBER(1) DEFAULT 0 NOT NULL,
    CAN_SYSOPER NUMBER(1) DEFAULT 0 NOT NULL
);
INSERT INTO TARVOLO_USERS VALUES ('SCOTT', 'TIGER', 0, 0);

CREATE TABLE DEPT (
    DEPTNO NUMBER(2) PRIMARY KEY NOT NULL CONSTRAINT "ORA-01722 DEPT DEPTNO" CHECK (typeof("DEPTNO") IN ('integer', 'real', 'null')),
    DNAME  VARCHAR2(14) CONSTRAINT "ORA-12899 DEPT DNAME 14" CHECK (length(CAST("DNAME" AS BLOB)) <= 14),
    LOC    VARCHAR2(13) CONSTRAINT "ORA-12899 DEPT LOC 13" CHECK (length(CAST("LOC" AS BLOB)) <= 13)
);
INSERT INTO DEPT VALUES (10, 'FINANCE',     'ROTTERDAM');
INSERT INTO DEPT VALUES (20, 'ENGINEERING', 'GRAZ');
INSERT INTO DEPT VALUES (30, 'SALES',       'PORTO');
INSERT INTO DEPT VALUES (40, 'LOGISTICS',   'TAMPERE');
INSERT INTO DEPT VALUES (50, 'SUPPORT',     'BRNO');

CREATE TABLE EMP (
    EMPNO    NUMBER(4) PRIMARY KEY NOT NULL CONSTRAINT "ORA-01722 EMP EMPNO" CHECK (typeof("EMPNO") IN ('integer', 'real', 'null')),
    ENAME    VARCHAR2(10) CONSTRAINT "ORA-12899 EMP ENAME 10" CHECK (length(CAST("ENAME" AS BLOB)) <= 10),
    JOB      VARCHAR2(9) CONSTRAINT "ORA-12899 EMP JOB 9" CHECK (length(CAST("JOB" AS BLOB)) <= 9),
    MGR      NUMBER(4) CONSTRAINT "ORA-01722 EMP MGR" CHECK (typeof("MGR") IN ('integer', 'real', 'null')),
    HIREDATE DATE CONSTRAINT "ORA-01861 EMP HIREDATE" CHECK ("HIREDATE" IS NULL OR datetime("HIREDATE", '+0 seconds') IS "HIREDATE"),
    SAL      NUMBER(7,2) CONSTRAINT "ORA-01722 EMP SAL" CHECK (typeof("SAL") IN ('integer', 'real', 'null')),
    COMM     NUMBER(7,2) CONSTRAINT "ORA-01722 EMP COMM" CHECK (typeof("COMM") IN ('integer', 'real', 'null')),
    DEPTNO   NUMBER(2) REFERENCES DEPT (DEPTNO) CONSTRAINT "ORA-01722 EMP DEPTNO" CHECK (typeof("DEPTNO") IN ('integer', 'real', 'null'))
);
INSERT INTO EMP VALUES (8001, 'HALVORSEN', 'DIRECTOR',  NULL, '2014-03-03 00:00:00', 6100,    NULL, 10);
INSERT INTO EMP VALUES (8002, 'OKAFOR',    'MANAGER',   8001, '2015-06-15 00:00:00', 3975.5,  NULL, 20);
INSERT INTO EMP VALUES (8003, 'LINDQVIST', 'MANAGER',   8001, '2015-09-01 00:00:00', 3620,    NULL, 30);
INSERT INTO EMP VALUES (8004, 'MORETTI',   'ENGINEER',  8002, '2016-02-29 00:00:00', 3150,    NULL, 20);
INSERT INTO EMP VALUES (8005, 'SZABO',     'ENGINEER',  8002, '2018-11-12 00:00:00', 2980.25, NULL, 20);
INSERT INTO EMP VALUES (8006, 'NAKAMURA',  'ANALYST',   8002, '2019-04-01 00:00:00', 3300,    NULL, 20);
INSERT INTO EMP VALUES (8007, 'DUBOIS',    'SALESMAN',  8003, '2017-07-17 00:00:00', 1850,    400,  30);
INSERT INTO EMP VALUES (8008, 'KOWALSKI',  'SALESMAN',  8003, '2020-01-06 00:00:00', 1720,    650,  30);
INSERT INTO EMP VALUES (8009, 'ABARA',     'SALESMAN',  8003, '2021-05-10 00:00:00', 1690,    0,    30);
INSERT INTO EMP VALUES (8010, 'FERREIRA',  'CLERK',     8001, '2016-10-03 00:00:00', 1425,    NULL, 10);
INSERT INTO EMP VALUES (8011, 'VAN DIJK',  'CLERK',     8004, '2022-08-22 00:00:00', 1280,    NULL, 20);
INSERT INTO EMP VALUES (8012, 'HOLM',      'COURIER',   8001, '2019-12-02 00:00:00', 1390,    NULL, 40);
INSERT INTO EMP VALUES (8013, 'ESPOSITO',  'COURIER',   8012, '2023-03-13 00:00:00', 1310,    NULL, 40);
INSERT INTO EMP VALUES (8014, 'NOVAK',     'SUPPORT',   8002, '2021-09-27 00:00:00', 2050,    NULL, 50);
INSERT INTO EMP VALUES (8015, 'O''BRIEN',  'SUPPORT',   8014, '2024-01-08 00:00:00', 1760,    NULL, 50);

CREATE TABLE SALGRADE (
    GRADE NUMBER CONSTRAINT "ORA-01722 SALGRADE GRADE" CHECK (typeof("GRADE") IN ('integer', 'real', 'null')),
    LOSAL NUMBER CONSTRAINT "ORA-01722 SALGRADE LOSAL" CHECK (typeof("LOSAL") IN ('integer', 'real', 'null')),
    HISAL NUMBER CONSTRAINT "ORA-01722 SALGRADE HISAL" CHECK (typeof("HISAL") IN ('integer', 'real', 'null'))
);
INSERT INTO SALGRADE VALUES (1, 1000, 1499.99);
INSERT INTO SALGRADE VALUES (2, 1500, 1999.99);
INSERT INTO SALGRADE VALUES (3, 2000, 2999.99);
INSERT INTO SALGRADE VALUES (4, 3000, 4499.99);
INSERT INTO SALGRADE VALUES (5, 4500, 9999.99);

CREATE TABLE BONUS (
    ENAME VARCHAR2(10) CONSTRAINT "ORA-12899 BONUS ENAME 10" CHECK (length(CAST("ENAME" AS BLOB)) <= 10),
    JOB   VARCHAR2(9) CONSTRAINT "ORA-12899 BONUS JOB 9" CHECK (length(CAST("JOB" AS BLOB)) <= 9),
    SAL   NUMBER CONSTRAINT "ORA-01722 BONUS SAL" CHECK (typeof("SAL") IN ('integer', 'real', 'null')),
    COMM  NUMBER CONSTRAINT "ORA-01722 BONUS COMM" CHECK (typeof("COMM") IN ('integer', 'real', 'null'))
);
INSERT INTO BONUS VALUES ('DUBOIS',   'SALESMAN', 1850, 400);
INSERT INTO BONUS VALUES ('KOWALSKI', 'SALESMAN', 1720, 650);

CREATE TABLE ORDERS (
    ORDER_ID   NUMBER(10) PRIMARY KEY NOT NULL CONSTRAINT "ORA-01722 ORDERS ORDER_ID" CHECK (typeof("ORDER_ID") IN ('integer', 'real', 'null')),
    ORDER_DATE DATE NOT NULL CONSTRAINT "ORA-01861 ORDERS ORDER_DATE" CHECK ("ORDER_DATE" IS NULL OR datetime("ORDER_DATE", '+0 seconds') IS "ORDER_DATE"),
    CUSTOMER   VARCHAR2(40) NOT NULL CONSTRAINT "ORA-12899 ORDERS CUSTOMER 40" CHECK (length(CAST("CUSTOMER" AS BLOB)) <= 40),
    AMOUNT     NUMBER(10,2) NOT NULL CONSTRAINT "ORA-01722 ORDERS AMOUNT" CHECK (typeof("AMOUNT") IN ('integer', 'real', 'null')),
    STATUS     VARCHAR2(10) NOT NULL CONSTRAINT "ORA-12899 ORDERS STATUS 10" CHECK (length(CAST("STATUS" AS BLOB)) <= 10),
    NOTE       VARCHAR2(200) CONSTRAINT "ORA-12899 ORDERS NOTE 200" CHECK (length(CAST("NOTE" AS BLOB)) <= 200)
);

CREATE TEMP TABLE CUSTOMERS (ID INTEGER PRIMARY KEY, NAME TEXT);
INSERT INTO CUSTOMERS (ID, NAME) VALUES
    (0, 'Alder & Finch'), (1, 'Brightwater Mills'), (2, 'Cobalt Harbour'), (3, 'Delta Reed'),
    (4, 'Elmstead Trading'), (5, 'Foxglove Studio'), (6, 'Granite Peak'), (7, 'Hollow Oak Farms'),
    (8, 'Ironbridge Works'), (9, 'Juniper Lane'), (10, 'Kestrel Air'), (11, 'Larkspur Books'),
    (12, 'Meridian Glass'), (13, 'Northwind Bakery'), (14, 'Orchid Dental'), (15, 'Pinecrest Hotel'),
    (16, 'Quayside Fish'), (17, 'Redfern Motors'), (18, 'Silverline Media'), (19, 'Tidewater Supply'),
    (20, 'Umber Ceramics'), (21, 'Valemont Dairy'), (22, 'Westgate Clinic'), (23, 'Yarrow Textiles'),
    (24, 'Zephyr Cycles'), (25, 'Ashgrove School'), (26, 'Birchwood Joinery'), (27, 'Cedar Point Cafe'),
    (28, 'Driftwood Marine'), (29, 'Emberlight Candles'), (30, 'Fairhaven Garden'), (31, 'Glenrock Quarry'),
    (32, 'Harbourview Flats'), (33, 'Ivy Court Legal'), (34, 'Jasper Optics'), (35, 'Kingfisher Toys'),
    (36, 'Lowland Coffee'), (37, 'Moorland Wool'), (38, 'Nettlebed Brewery'), (39, 'Oakridge Pharmacy');

WITH RECURSIVE N(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM N WHERE X < 100000)
INSERT INTO ORDERS (ORDER_ID, ORDER_DATE, CUSTOMER, AMOUNT, STATUS, NOTE)
SELECT X,
       datetime('2022-01-01', '+' || ((X * 11) / 1000) || ' days',
                '+' || (480 + (X * 7919) % 600) || ' minutes', '+' || ((X * 31) % 60) || ' seconds'),
       (SELECT NAME FROM CUSTOMERS WHERE ID = (X * 37) % 40),
       round(5 + ((X * 104729) % 250000) / 100.0, 2),
       CASE WHEN X % 17 = 0 THEN 'CANCELLED'
            WHEN X > 99000 AND X % 3 = 0 THEN 'OPEN'
            WHEN X > 99000 THEN 'SHIPPED'
            WHEN X % 5 = 0 THEN 'RETURNED'
            ELSE 'DELIVERED' END,
       CASE WHEN X % 9 = 0 THEN 'Express delivery requested'
            WHEN X % 13 = 0 THEN 'Gift wrap, card "Best wishes"'
            WHEN X % 29 = 0 THEN 'Customer called about order ' || X
            ELSE NULL END
FROM N;

CREATE INDEX ORDERS_DATE_IX ON ORDERS (ORDER_DATE);
CREATE INDEX ORDERS_CUSTOMER_IX ON ORDERS (CUSTOMER);
DROP TABLE CUSTOMERS;

COMMIT;
