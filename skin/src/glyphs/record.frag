<circle cx="0" cy="0.5" r="8.5" fill="#7A1020" opacity="0.35"/>
<circle cx="0" cy="0" r="8" fill="url(#recdot)"/>
<ellipse cx="-2" cy="-3.2" rx="3.6" ry="2.2" fill="#FFFFFF" opacity="0.55"/>
