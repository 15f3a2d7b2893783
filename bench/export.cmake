tarvolo_bench(export DEPS tarvolo_execution PkgConfig::XLSXWRITER)
