tarvolo_bench(grid_fetch DEPS tarvolo_execution tarvolo_engine SQLite::SQLite3)
