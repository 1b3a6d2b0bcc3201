<path d="M-3.5,-7 L7.5,0 L-3.5,7 Z" fill="currentColor" stroke="currentColor" stroke-width="1.2" stroke-linejoin="round"/>
