tarvolo_fuzz(engine_sql DEPS tarvolo_engine)
