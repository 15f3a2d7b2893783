tarvolo_fuzz(text_reader DEPS tarvolo_core)
