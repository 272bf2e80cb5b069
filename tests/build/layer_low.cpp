// A lower layer's module that calls into a higher one: the layering check
// must report the call (test LayeringCheckFindsAnUpwardCall).
void Higher_Layer_Proc();
void Lower_Layer_Proc() { Higher_Layer_Proc(); }
