BEGIN
  UPDATE EMP SET COMM = ROUND(SAL * :PERCENT / 100, 2) WHERE JOB = 'SALESMAN';
  DBMS_OUTPUT.PUT_LINE('Commission of every salesman set to ' || :PERCENT || ' percent of the salary');
  FOR r IN (SELECT ENAME, SAL, COMM FROM EMP WHERE JOB = 'SALESMAN' ORDER BY ENAME) LOOP
    DBMS_OUTPUT.PUT_LINE(RPAD(r.ENAME, 12) || 'salary ' || r.SAL || ', commission ' || r.COMM);
  END LOOP;
END;