<path d="M-2.6,-1.9 A2.7,2.6 0 1 1 1,0.6 C0.2,1 0,1.4 0,2.2" fill="none" stroke="currentColor" stroke-width="1.7" stroke-linecap="round"/>
<circle cx="0" cy="4.6" r="1.05" fill="currentColor"/>
