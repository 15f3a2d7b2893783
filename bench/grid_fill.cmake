tarvolo_bench(grid_fill DEPS tarvolo_grid)
