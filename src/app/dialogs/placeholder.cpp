// The dialogs come here.
