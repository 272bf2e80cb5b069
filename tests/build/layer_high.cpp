// The higher layer the lower one calls (test LayeringCheckFindsAnUpwardCall).
void Lower_Layer_Proc();
void Higher_Layer_Proc() {}
void Higher_Layer_Calls_Down() { Lower_Layer_Proc(); }
