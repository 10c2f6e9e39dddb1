// replaced by the builder
