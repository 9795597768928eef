// The output pipelines come here.
