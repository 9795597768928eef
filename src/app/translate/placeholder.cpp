// The translation walk and editor come here.
