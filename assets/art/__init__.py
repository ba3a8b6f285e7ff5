"""Drawing library of the asset script: shapes, colours, image files and the picture sets."""
