<rect x="-5.5" y="-5.5" width="11" height="11" rx="1.5" fill="currentColor"/>
