Report templates (sample)
