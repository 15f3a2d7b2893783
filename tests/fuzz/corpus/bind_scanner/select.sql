SELECT * FROM emp WHERE empno = :empno AND name = '&n''x' -- :c
/* :d */ &t