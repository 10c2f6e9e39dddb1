// ReportText
