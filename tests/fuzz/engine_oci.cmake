tarvolo_fuzz(engine_oci DEPS tarvolo_engine)
