<path d="M-3.3,-3.3 L3.3,3.3 M3.3,-3.3 L-3.3,3.3" stroke="currentColor" stroke-width="1.9" stroke-linecap="round"/>
